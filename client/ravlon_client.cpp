// The C++ client of ravlon, each operation that of the C interface.
#include "ravlon_client.h"

#include <cerrno>

#include "ravlon_raw.h"

RavlonClient::RavlonClient() : sock(-1), rv(nullptr) {}

RavlonClient::~RavlonClient()
{
  close();
}

int RavlonClient::connect(const char* host, int port)
{
  close();
  return adopt(ravlon_connect(host, port));
}

int RavlonClient::connect(const char* host, int port, const char* keyfile)
{
  close();
  return adopt(ravlon_connect_keyfile(host, port, keyfile));
}

int RavlonClient::adopt(ravlon* connected)
{
  rv = connected;
  if (!rv)
    return -1;
  sock = ravlon_socket(rv);
  return 0;
}

namespace {

// Every operation but connect needs the connection: without one it fails
// as a socket that is not connected does.
int not_connected()
{
  errno = ENOTCONN;
  return -1;
}

}  // namespace

int RavlonClient::resize(int width, int height)
{
  return rv ? ravlon_resize(rv, width, height) : not_connected();
}

int RavlonClient::send_rgb(const unsigned char* r, const unsigned char* g, const unsigned char* b,
                           int size)
{
  return rv ? ravlon_send_rgb(rv, r, g, b, size) : not_connected();
}

int RavlonClient::send_colmap(const unsigned char* cvec, int size)
{
  return rv ? ravlon_send_colmap(rv, cvec, size) : not_connected();
}

int RavlonClient::show_rgb(const unsigned char* pixels, int width, int height, size_t stride_bytes)
{
  return rv ? ravlon_show_rgb(rv, pixels, width, height, stride_bytes) : not_connected();
}

int RavlonClient::show_gray(const unsigned char* pixels, int width, int height, size_t stride_bytes)
{
  return rv ? ravlon_show_gray(rv, pixels, width, height, stride_bytes) : not_connected();
}

int RavlonClient::show_frame(int width, int height, int format, const void* samples)
{
  return rv ? ravlon_show_frame(rv, width, height, format, samples) : not_connected();
}

int RavlonClient::show_region(int x, int y, int width, int height, int format, const void* samples)
{
  return rv ? ravlon_show_region(rv, x, y, width, height, format, samples) : not_connected();
}

int RavlonClient::set_view(int map, int scale, int rule, int flags, double percent, double vmin,
                           double vmax)
{
  return rv ? ravlon_set_view(rv, map, scale, rule, flags, percent, vmin, vmax) : not_connected();
}

int RavlonClient::disconnect()
{
  if (!rv)
    return not_connected();
  int r = ravlon_disconnect(rv);
  rv = nullptr;
  sock = -1;
  return r;
}

void RavlonClient::close()
{
  ravlon_close(rv);
  rv = nullptr;
  sock = -1;
}

int RavlonClient::put_int(int v)
{
  unsigned int u = static_cast<unsigned int>(v);
  unsigned char b[4] = {static_cast<unsigned char>(u >> 24), static_cast<unsigned char>(u >> 16),
                        static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u)};
  return put_bytes(b, 4);
}

int RavlonClient::put_bytes(const void* p, int n)
{
  if (n < 0) {
    errno = EINVAL;
    return -1;
  }
  return rv ? ravlon_put(rv, p, static_cast<size_t>(n)) : not_connected();
}
