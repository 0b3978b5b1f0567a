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
// The size of ravlon's picture area (the form's upper child, above the
// status line); -1 when there is none.
int ravlon_view(int& w, int& h);
// ravlon's status line on d (the form's lower child); 0 when there is none.
Window ravlon_status(Display* d);
// Presses keys (xdotool's names) in ravlon's window and waits until its
// picture has another width; 0, or -1 after a message on stderr.
int ravlon_keys(const char* keys);
// ravlon's viewable image window of w x h pixels on d, once there is one
// within ms milliseconds; 0 after a message on stderr.
Window ravlon_image(Display* d, int w, int h, int ms);

#endif
