// How long ravlon leaves its window waiting while a client floods it with
// requests that cost far more work than bytes: empty RGB frames, resizes
// to the size it has, 4 x 4 frames. Another X connection uncovers the
// status line again and again and times ravlon's redraw of it; ravlon's
// resident size is read before and after the flood, with the history of
// frames off.
#ifndef FLOOD_H
#define FLOOD_H

struct FloodRun {
  double per_s;       // requests read and carried out per second
  double longest_ms;  // the longest wait for a redraw
  double median_ms;
  int probes;
  long before_kb;  // resident size (VmRSS) before and after the flood
  long after_kb;
};

enum FloodKind { FLOOD_EMPTY, FLOOD_RESIZE, FLOOD_TINY };

// requests requests of kind, sent as fast as ravlon takes them, to a
// ravlon on the shared pixmaps or off them; 0, or -1 after a message on
// stderr.
int flood(const char* ravlon, FloodKind kind, bool shared, int requests, FloodRun& out);

#endif
