// The server: the control (listening) socket, the data socket of the one
// client served at a time, their input sources and timers, and the decoder
// that reads the client's stream into a request sink.
#ifndef SERVER_H
#define SERVER_H

#include <sys/socket.h>

#include <X11/Intrinsic.h>

#include "WEtc.h"
#include "net/decoder.h"
#include "net/keygate.h"
#include "net/listenaddr.h"
#include "net/recorder.h"

// The longest of the server's lines, with its end.
const int SERVER_LINE = 96;
// A client's address as the lines and the refusals write it, with its end:
// an IP address, or unix: and the local socket's path.
const int PEER_TEXT = 120;
// The longest local socket path, with its end (sockaddr_un's).
const int LOCAL_PATH = 108;
// Clients taken from either socket wait here, in the order they came.
const int QUEUE_MAX = 16;
// How long a client has to send the key, once its turn has come.
const int KEY_SECONDS = 10;

// What the server tells the window it serves.
class ServerWatcher {
public:
  virtual ~ServerWatcher() = default;
  // Listening has begun, or a client has come.
  virtual void server_changed() = 0;
  // The client has left, or has been dropped.
  virtual void client_left() = 0;
};

class Server {
public:
  Server(RequestSink* sink, ServerWatcher* watcher);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // at nullptr: the address of the host's own name; local, when given and
  // not empty, the path of the local socket beside it. -1 with the message
  // in buf.
  int start_server(int port, const ListenAt* at = nullptr, const char* local = nullptr);
  // Every client from now on must send key first.
  void set_key(const unsigned char k[RAVLON_KEY_BYTES]) { gate.set_key(k); }
  // Takes a client from the listening socket listener into the queue.
  int take_client(int listener);
  // Every socket is closed, the local one removed.
  int disconn_client();
  // The control socket is watched again after its rest.
  void end_rest();
  // Reads what the client has sent, a bounded amount at a time.
  int dispatch();
  // The request in progress made no progress for STALL_SECONDS.
  void give_up_stalled();
  // The client has not sent its key within KEY_SECONDS.
  void give_up_key();
  // The client's stream cannot be trusted any more: msg, when there is
  // one, in the error window, and the server listens for the next client.
  void drop_client(const char* msg);
  // A request of the client's is partly read.
  bool request_in_progress() const;
  // The server's state in the lines the picture shows (waiting or
  // connected, and the port); their number, at most 3.
  int server_lines(char lines[][SERVER_LINE]) const;

  char listening;
  char connected;
  int port;
  int ctl_sock;
  int local_sock;
  int data_sock;
  XtInputId data_input;
  XtInputId accept_input;
  XtInputId local_input;
  WAlarm accept_rest;  // the control sockets rest after a failed accept
  WAlarm stall;        // armed while a request is in progress
  WAlarm key_wait;     // armed until the client's key has come
  Decoder decoder;
  KeyGate gate;
  char peer[PEER_TEXT];         // the client's address while one is served
  char local_path[LOCAL_PATH];  // the local socket's, "" without one
  Recorder recorder;             // File > Record Stream...

private:
  struct Waiting {
    int sock;
    char peer[PEER_TEXT];
  };
  void serve_next();
  void admitted();
  int read_key();
  void refuse_key();
  void end_client();
  int close_data();
  void close_local();
  void watch_control(char on);
  void rest_control();
  void watch_stall(bool progress);
  // Bytes read, recorded and decoded.
  void take(const unsigned char* p, int n, bool first);
  int fail_start(const char* msg);
  int bind_control(const ListenAt& sa);
  int start_local(const char* path);

  ServerWatcher* watcher;
  Waiting queue[QUEUE_MAX];
  int queued;
};

void ip_accept_imagewnd(XtPointer usr, int* src, XtInputId* id);
void ip_dispatch_imagewnd(XtPointer usr, int* src, XtInputId* id);
void tp_stall_imagewnd(XtPointer usr, XtIntervalId* id);
void tp_accept_imagewnd(XtPointer usr, XtIntervalId* id);
void tp_key_imagewnd(XtPointer usr, XtIntervalId* id);

#endif
