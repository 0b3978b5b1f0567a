// Waiting until ravlon shows its picture. ravlon drops frames that arrive
// before its image's first expose, and a client that streams large frames
// at once can keep it from ever getting there, so the benchmark starts
// streaming only once the picture is on the screen.
#ifndef SHOWWAIT_H
#define SHOWWAIT_H

#include <X11/Xlib.h>

// Polls the session's display (its own connection) until a viewable
// window named "Ravlon" holds a 256 pixels wide picture with something
// drawn in it; 0, or -1 after a message on stderr when ms milliseconds
// pass first.
int wait_ravlon_picture(int ms);
// ravlon's viewable image window of w x h pixels on d, once there is one
// within ms milliseconds; 0 after a message on stderr.
Window ravlon_image(Display* d, int w, int h, int ms);

#endif
