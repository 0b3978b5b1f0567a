// System V shared-memory segments that this process and a local X server
// both map (MIT-SHM).
#ifndef SHMSEG_H
#define SHMSEG_H

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstddef>

// A new segment of bytes, attached here and by the server (which may only
// read it when read_only), in info; 0, or -1 with nothing left over. The
// segment is marked for removal at once: it goes away with the last
// detach, even if either process dies.
int attach_segment(XShmSegmentInfo& info, size_t bytes, bool read_only);
// The server keeps its own mapping until it is done with what uses it.
void detach_segment(XShmSegmentInfo& info);

#endif
