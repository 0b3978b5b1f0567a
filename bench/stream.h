// A real ravlon process driven by a client over TCP: frames per second
// while a client streams frames to it, each drawn and shown, ending with
// the disconnect request (the clock stops when the process has exited);
// and its resident size.
#ifndef STREAM_H
#define STREAM_H

#include <sys/types.h>

#include "ravlon_client.h"

struct FramePlanes;

struct StreamRun {
  double fps;
  long peak_kb;  // ravlon's peak resident size (VmHWM) after the frames
  int view_w;    // ravlon's picture area while they were shown
  int view_h;
};

// A ravlon process on a free port, with a client connected to it once its
// picture is on the screen: the client library's over TCP, or, local, a
// plain socket through ravlon's local socket. shared false starts it with
// sharedPixmaps false, so that frames take the way they take to a server
// without them; resources, when given, are resource lines of its own.
class Served {
public:
  Served() : pid(-1), local_sock(-1) {}
  // -1 after a message, with the process ended.
  int start(const char* ravlon, bool shared = true, bool local = false,
            const char* resources = nullptr);
  // The connected socket, of either kind.
  int sock() const { return local_sock >= 0 ? local_sock : c.sock; }
  // Ends ravlon with the disconnect request, or with SIGINT after a failed
  // send (sent -1): without the request it would wait for the next client.
  // 0 when everything was sent and ravlon ended with status 0.
  int finish(int sent);

  RavlonClient c;
  pid_t pid;

private:
  int connect_when_ready(int port, bool local);
  int connect_local(int port);

  int local_sock;
};

// Returns 0, or -1 after a message on stderr. keys, when given, are
// pressed in ravlon's window after a first frame, before the clock starts;
// resources as for Served::start.
int stream_frames(const char* ravlon, int w, int h, bool rgb, int frames, bool shared,
                  StreamRun& out, const char* keys = nullptr, const char* resources = nullptr);
// frames/s of row-major w x h RGB frames a client shows with show_rgb,
// which sends them as typed frames as they lie; -1 after a message.
int stream_rowmajor(const char* ravlon, int w, int h, int frames, double& fps);
// ravlon's resident size (VmRSS) with its 256 x 256 window shown and no
// frame yet, once start-up has settled; -1 after a message on stderr.
long idle_resident_kb(const char* ravlon);
// A "Name:   N kB" line of /proc/PID/status; -1 when it cannot be read.
long status_kb(pid_t pid, const char* name);
// Connects c to port on the address of the host's own name, with Nagle's
// delay off; -1 when nobody listens there.
int connect_nodelay(RavlonClient& c, int port);
// A socket listening on every address, and its port; -1 when none.
int listen_any(int& port);
// frames frames of p's planes (RGB, or its red plane as colour indices);
// -1 when one cannot be sent.
int send_frames(RavlonClient& c, const FramePlanes& p, bool rgb, int frames);

#endif
