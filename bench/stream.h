// Frames per second through a real ravlon process: a client streams frames
// over TCP, each drawn and shown by ravlon, and ends with the disconnect
// request; the clock stops when the process has exited.
#ifndef STREAM_H
#define STREAM_H

// Returns frames per second, or -1 after a message on stderr.
double stream_fps(const char* ravlon, int side, bool rgb, int frames);

#endif
