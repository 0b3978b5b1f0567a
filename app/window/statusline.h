// The line under the picture: the image pixel under the pointer and the
// frame's bytes there, the zoom, the frame's size, the frames shown and
// their rate, and the server's state. Refreshed at most every REFRESH_MS,
// never per frame, so that it costs nothing at thousands of frames per
// second. Its text is also kept in the window's RAVLON_STATUS property, for
// scripts.
#ifndef STATUSLINE_H
#define STATUSLINE_H

#include <Xm/Xm.h>

#include "WEtc.h"
#include "net/server.h"

class Frame;
class Image;
class Server;

class StatusLine {
public:
  // What it shows comes from the frame store, the server and the image
  // (given once the image is made).
  StatusLine(Widget form, const Frame& frame, const Server& server);

  // Something it shows has changed: it is refreshed within REFRESH_MS.
  void touch();
  void refresh();
  // Lays the fields out in lines for a window w pixels wide.
  void set_width(int w);
  // The line's height in a window w pixels wide.
  int height_for(int w) const;
  // The narrowest window in which two lines hold what a small picture's
  // status line shows, whole.
  int min_width() const;

  Widget label;
  const Image* image;
  const struct Playback* playback;  // given with the image

private:
  void compose(char* out, int n) const;
  void server_field(char* out, int n) const;
  void join(const char (*f)[SERVER_LINE], char* out, int n) const;
  int lines_at(int w) const;
  void set_text(const char* text);

  const Frame& frame;
  const Server& server;
  WAlarm alarm;
  int line_h;      // of one line of text
  int frame_h;     // what the label adds to its text's height
  int frame_w;     // and to its width
  int width;       // of the window
  int lines;       // 1 or 2, at that width
  long count_at;   // frames shown when the present second began
  long second_at;  // when it began, in milliseconds
  double rate;     // frames per second over the last whole second
  char text[512];
};

const int REFRESH_MS = 100;

void tp_refresh_status(XtPointer usr, XtIntervalId* id);

#endif
