// How long a frame takes to appear: from the client's write of its last
// bytes (the last 4 kB) to the picture on ravlon's window, which the client
// watches by reading one pixel of the window back (XGetImage) until it
// changes.
#ifndef LATENCY_H
#define LATENCY_H

struct Latency {
  double median_ms;
  double p95_ms;
};

// frames frames of w x h, RGB or colour-mapped, each sent once the one
// before it is on the window; the first of them is not counted. 0, or -1
// after a message on stderr.
int frame_latency(const char* ravlon, int w, int h, bool rgb, int frames, Latency& out);
// The resolution of the method: the median time of one read of a pixel,
// in ms; -1 after a message on stderr.
double poll_ms();

#endif
