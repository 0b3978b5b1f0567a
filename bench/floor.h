// The floor of this machine for one frame, the two costs any display
// server of frames pays: the X server's shared-memory put of a ready image
// into a pixmap and its copy to a window of the same size, and the
// loopback TCP transfer of the frame's bytes between two processes.
#ifndef FLOOR_H
#define FLOOR_H

#include <X11/Xlib.h>

// Milliseconds per frame of put and copy, as ravlon issues them (each put
// waits until the server has read the previous one); -1 after a message.
double put_copy_ms(Visual* vis, int depth, Colormap cmap, int w, int h, int rounds);
// Milliseconds per frame to stream frames of w x h pixels (3 planes, or 1
// when not rgb) through the client library to a process that only reads
// them; -1 after a message on stderr.
double transfer_ms(int w, int h, bool rgb, int frames);

#endif
