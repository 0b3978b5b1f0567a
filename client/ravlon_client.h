// The client side of ravlon's wire protocol: one TCP connection to the
// server, over which a program sends the image size and frames. The server
// never answers; every sending operation returns 0 once all its bytes were
// handed to the system and -1 otherwise (errno tells why).
#ifndef RAVLON_CLIENT_H
#define RAVLON_CLIENT_H

class RavlonClient {
public:
  RavlonClient();
  ~RavlonClient();  // leaves like close(): the server goes on running
  RavlonClient(const RavlonClient&) = delete;
  RavlonClient& operator=(const RavlonClient&) = delete;

  // host is a name or a dotted address; the first address it resolves to
  // is used, so pass the name the server's host knows itself by.
  int connect(const char* host, int port);

  // The next frames are width x height pixels (1 to 8192 each). A size
  // the server would refuse sends nothing and fails with EINVAL, as does
  // a frame size below 0 or above 64 MiB.
  int resize(int width, int height);

  // Frames carry size bytes per plane, column by column: the byte of pixel
  // (x, y) is at x * height + y. Pixels past size are shown black.
  int send_rgb(const unsigned char* r, const unsigned char* g, const unsigned char* b, int size);
  int send_colmap(const unsigned char* cvec, int size);

  // Ends the server (status 0) and closes the connection.
  int disconnect();
  // Closes the connection; the server waits for its next client.
  void close();

  // Raw request pieces, for programs that compose requests themselves:
  // an integer goes out most significant byte first.
  int put_int(int v);
  int put_bytes(const void* p, int n);

  int sock;  // -1 while not connected
};

#endif
