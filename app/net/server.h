// The server: the control (listening) socket, the data socket of the one
// client served at a time, their input sources and timers, and the decoder
// that reads the client's stream into a request sink.
#ifndef SERVER_H
#define SERVER_H

#include <sys/socket.h>

#include <X11/Intrinsic.h>

#include "WEtc.h"
#include "net/decoder.h"
#include "net/listenaddr.h"
#include "net/recorder.h"

// The longest of the server's lines, with its end.
const int SERVER_LINE = 96;

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

  // at nullptr: the address of the host's own name. -1 with the message
  // in buf.
  int start_server(int port, const ListenAt* at = nullptr);
  int conn_client();
  // Both sockets are closed.
  int disconn_client();
  // The control socket is watched again after its rest.
  void end_rest();
  // Reads what the client has sent, a bounded amount at a time.
  int dispatch();
  // The request in progress made no progress for STALL_SECONDS.
  void give_up_stalled();
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
  int data_sock;
  XtInputId data_input;
  XtInputId accept_input;
  WAlarm accept_rest;  // the control socket rests after a failed accept
  WAlarm stall;        // armed while a request is in progress
  Decoder decoder;
  Recorder recorder;  // File > Record Stream...
  char peer[64];      // the client's address while one is connected

private:
  void end_client();
  int close_data();
  void watch_control(char on);
  void rest_control();
  void watch_stall(bool progress);
  // Bytes read, recorded and decoded.
  void take(const unsigned char* p, int n, bool first);
  int fail_start(const char* msg);
  int bind_control(const ListenAt& sa);
  int refuse(int s, const sockaddr* peer);

  ServerWatcher* watcher;
};

void ip_accept_imagewnd(XtPointer usr, int* src, XtInputId* id);
void ip_dispatch_imagewnd(XtPointer usr, int* src, XtInputId* id);
void tp_stall_imagewnd(XtPointer usr, XtIntervalId* id);
void tp_accept_imagewnd(XtPointer usr, XtIntervalId* id);

#endif
