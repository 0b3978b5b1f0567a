// A real ravlon process driven by a client over TCP: frames per second
// while a client streams frames to it, each drawn and shown, ending with
// the disconnect request (the clock stops when the process has exited);
// and its resident size.
#ifndef STREAM_H
#define STREAM_H

class RavlonClient;
struct FramePlanes;

struct StreamRun {
  double fps;
  long peak_kb;  // ravlon's peak resident size (VmHWM) after the frames
  int view_w;    // ravlon's picture area while they were shown
  int view_h;
};

// Returns 0, or -1 after a message on stderr. keys, when given, are
// pressed in ravlon's window after a first frame, before the clock starts.
int stream_frames(const char* ravlon, int w, int h, bool rgb, int frames, StreamRun& out,
                  const char* keys = nullptr);
// ravlon's resident size (VmRSS) with its 256 x 256 window shown and no
// frame yet, once start-up has settled; -1 after a message on stderr.
long idle_resident_kb(const char* ravlon);
// Connects c to port on the address of the host's own name, with Nagle's
// delay off; -1 when nobody listens there.
int connect_nodelay(RavlonClient& c, int port);
// A socket listening on every address, and its port; -1 when none.
int listen_any(int& port);
// frames frames of p's planes (RGB, or its red plane as colour indices);
// -1 when one cannot be sent.
int send_frames(RavlonClient& c, const FramePlanes& p, bool rgb, int frames);

#endif
