// What recording costs: the frames per second of a stream into an image
// window of this process, as ravlon builds it, with and without File >
// Record Stream... writing it to a local file.
#ifndef RECORD_H
#define RECORD_H

#include <X11/Xutil.h>

// Prints the figures; -1 after a message on stderr.
int record_figures(XStandardColormap& map, bool brief);

#endif
