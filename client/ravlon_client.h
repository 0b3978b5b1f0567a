// The C++ client of ravlon: one connection to the server, over which a
// program sends the image size and frames, on top of the C interface
// (ravlon.h, ravlon_connect(3)). The server never answers; every sending
// operation returns 0 once all its bytes were handed to the system and -1
// otherwise (errno tells why, ravlon_errmsg() in words).
#ifndef RAVLON_CLIENT_H
#define RAVLON_CLIENT_H

#include <cstddef>

#include "ravlon.h"

class RavlonClient {
public:
  RavlonClient();
  ~RavlonClient();  // leaves like close(): the server goes on running
  RavlonClient(const RavlonClient&) = delete;
  RavlonClient& operator=(const RavlonClient&) = delete;

  // host is a name, an IPv4 or an IPv6 address; each address it resolves
  // to is tried in turn. A host of this one (nullptr, "", "localhost", its
  // name) goes through ravlon's local socket when there is one; "unix:PATH"
  // and "tcp:HOST" go where they say (ravlon_connect(3)). The key, when
  // $RAVLON_KEYFILE names a file, or that of keyfile, is sent first.
  int connect(const char* host, int port);
  int connect(const char* host, int port, const char* keyfile);

  // The next frames are width x height pixels (1 to 8192 each). A size
  // the server would refuse sends nothing and fails with EINVAL, as does
  // a frame size below 0 or above 64 MiB.
  int resize(int width, int height);

  // Frames carry size bytes per plane, column by column: the byte of pixel
  // (x, y) is at x * height + y. Pixels past size are shown black.
  int send_rgb(const unsigned char* r, const unsigned char* g, const unsigned char* b, int size);
  int send_colmap(const unsigned char* cvec, int size);

  // A row-major image, rows stride_bytes apart: interleaved RGB (a typed
  // frame) or grey levels (planes). Resizes when the size changes;
  // allocates nothing after the first frame of a size.
  int show_rgb(const unsigned char* pixels, int width, int height, size_t stride_bytes);
  int show_gray(const unsigned char* pixels, int width, int height, size_t stride_bytes);

  // Typed frames, regions of them and the view of one-channel frames, as
  // ravlon_show_frame(3), ravlon_show_region(3) and ravlon_set_view(3).
  int show_frame(int width, int height, int format, const void* samples);
  int show_region(int x, int y, int width, int height, int format, const void* samples);
  int set_view(int map, int scale, int rule, int flags, double percent, double vmin, double vmax);

  // Ends the server (status 0) and closes the connection.
  int disconnect();
  // Closes the connection; the server waits for its next client.
  void close();

  // Raw request pieces, for programs that compose requests themselves:
  // an integer goes out most significant byte first.
  int put_int(int v);
  int put_bytes(const void* p, int n);

  int sock;  // -1 while not connected

private:
  int adopt(ravlon* connected);

  ravlon* rv;
};

#endif
