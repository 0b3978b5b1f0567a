// The status line: fields laid out in lines by the width of their longest
// text, so that the line count stays the same whatever they show and the
// window need not change its height with the pointer.
#include "window/statusline.h"

#include <sys/time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <X11/Xatom.h>
#include <Xm/Form.h>
#include <Xm/Label.h>

#include "net/server.h"
#include "render/colourtables.h"
#include "render/frame.h"
#include "render/samples.h"
#include "window/image.h"
#include "window/playback.h"

namespace {

// Each field's longest text, and what goes before it on its line.
struct Field {
  const char* longest;
  const char* sep;
};

const Field fields[] = {
    {"(8888, 8888) index 888 = 888 888 888", "  "},
    {"zoom 1/16", "  "},
    {"8888 x 8888", "  "},
    {"coolwarm -8.88888e+888 to -8.88888e+888", "  "},
    {"paused 88888/88888 +8888888", "  "},
    {"Waiting for client connection on port 88888.", "  "},
    {"from 888.888.888.888", " "},
};
const int NFIELDS = sizeof fields / sizeof fields[0];

// What a small picture's status line holds in its two lines, at its
// longest: the view and the count, then the server and its client.
const char* const narrow_lines[] = {
    "zoom 1/16  8888 x 8888  88888 frames 8888/s",
    "Waiting for client connection on port 88888.",
    "Client connected on port 88888. from 888.888.888.888",
};

long now_ms()
{
  timeval tv;
  gettimeofday(&tv, nullptr);
  return tv.tv_sec * 1000l + tv.tv_usec / 1000;
}

int text_width(Widget w, const char* s)
{
  XmFontList fl = nullptr;
  XtVaGetValues(w, XmNfontList, &fl, nullptr);
  XmString xs = XmStringCreateLocalized(const_cast<char*>(s));
  int n = fl ? XmStringWidth(fl, xs) : 6 * static_cast<int>(strlen(s));
  XmStringFree(xs);
  return n;
}

// The pointer's pixel and the frame's own bytes there.
void pixel_field(const Image* img, const Frame& frame, char* out, int n)
{
  int x, y;
  out[0] = '\0';
  if (img->pointer_x < 0 || img->image_pixel(img->pointer_x, img->pointer_y, &x, &y) < 0)
    return;
  int len = snprintf(out, n, "(%d, %d)", x, y);
  double p[3];
  const int got = frame.value_at(x, y, p);
  if (!got || len >= n)
    return;
  if (got == 3) {
    snprintf(out + len, n - len, " %.0f %.0f %.0f", p[0], p[1], p[2]);
    return;
  }
  if (frame.kind == FRAME_SAMPLES) {
    snprintf(out + len, n - len, integer_format(frame.format) ? " %.0f" : " %.6g", p[0]);
    return;
  }
  const unsigned v = static_cast<unsigned>(p[0]);
  len += snprintf(out + len, n - len, " index %u", v);
  if (img->colmap && v < COLOUR_ENTRIES && len < n)
    snprintf(out + len, n - len, " = %u %u %u", img->file_rgb[v] >> 16,
             (img->file_rgb[v] >> 8) & 255, img->file_rgb[v] & 255);
}

// The colour map and limits one-channel frames are shown with.
void map_field(const Image* img, const Frame& frame, char* out, int n)
{
  out[0] = '\0';
  if (frame.kind == FRAME_SAMPLES && !rgb_format(frame.format))
    snprintf(out, n, "%s%s %.6g to %.6g", colour_map_names[img->view.map % COLOUR_MAPS],
             img->view.invert ? " inverted" : "", img->limit_lo, img->limit_hi);
}

void zoom_field(int shift, char* out, int n)
{
  if (shift >= 0)
    snprintf(out, n, "zoom %d", 1 << shift);
  else
    snprintf(out, n, "zoom 1/%d", 1 << -shift);
}

}  // namespace

StatusLine::StatusLine(Widget form, const Frame& f, const Server& s)
    : image(nullptr),
      playback(nullptr),
      frame(f),
      server(s),
      line_h(13),
      frame_h(0),
      frame_w(0),
      width(0),
      lines(1),
      count_at(0),
      second_at(now_ms()),
      rate(0)
{
  const XtArgVal attach = static_cast<XtArgVal>(XmATTACH_FORM);
  label = XtVaCreateManagedWidget("status", xmLabelWidgetClass, form, XmNleftAttachment, attach,
                                  XmNrightAttachment, attach, XmNbottomAttachment, attach,
                                  XmNalignment, static_cast<XtArgVal>(XmALIGNMENT_BEGINNING),
                                  XmNrecomputeSize, static_cast<XtArgVal>(False), nullptr);
  text[0] = '\0';
  set_text("8");
  XmFontList fl = nullptr;
  XtVaGetValues(label, XmNfontList, &fl, nullptr);
  XmString xs = XmStringCreateLocalized(const_cast<char*>("8"));
  line_h = fl ? XmStringHeight(fl, xs) : 13;
  XmStringFree(xs);
  XtWidgetGeometry pref;
  XtQueryGeometry(label, nullptr, &pref);
  frame_h = pref.height - line_h;
  Dimension mw = 0, ml = 0, mr = 0, st = 0, ht = 0;
  XtVaGetValues(label, XmNmarginWidth, &mw, XmNmarginLeft, &ml, XmNmarginRight, &mr,
                XmNshadowThickness, &st, XmNhighlightThickness, &ht, nullptr);
  frame_w = 2 * (mw + st + ht) + ml + mr;
  alarm.set_tp_alarm(tp_refresh_status, this);
}

// One line when every field at its longest fits, else two.
int StatusLine::lines_at(int w) const
{
  int used = 0;
  for (int f = 0; f < NFIELDS; f++)
    used += (f ? text_width(label, fields[f].sep) : 0) + text_width(label, fields[f].longest);
  return used <= w ? 1 : 2;
}

int StatusLine::height_for(int w) const
{
  return frame_h + lines_at(w) * line_h;
}

int StatusLine::min_width() const
{
  int w = 0;
  for (const char* line : narrow_lines)
    w = std::max(w, text_width(label, line));
  return w + frame_w;
}

void StatusLine::set_width(int w)
{
  width = w;
  lines = lines_at(w);
  XtVaSetValues(label, XmNheight, static_cast<XtArgVal>(height_for(w)), nullptr);
  refresh();
}

void StatusLine::touch()
{
  if (!alarm.is_pending())
    alarm.start_in(REFRESH_MS);
}

// The rate is that of the last whole second; while frames come, or until
// the rate has dropped to 0, the line keeps refreshing.
void StatusLine::refresh()
{
  const Image* img = image;
  if (!img)
    return;
  const long t = now_ms();
  if (t - second_at >= 1000) {
    rate = (img->frames_shown - count_at) * 1000.0 / static_cast<double>(t - second_at);
    count_at = img->frames_shown;
    second_at = t;
  }
  char s[512];
  compose(s, sizeof s);
  set_text(s);
  if (rate > 0 || img->frames_shown != count_at)
    touch();
}

void StatusLine::compose(char* out, int n) const
{
  const Image* img = image;
  char f[NFIELDS][SERVER_LINE];
  pixel_field(img, frame, f[0], sizeof f[0]);
  zoom_field(img->zoom_shift, f[1], sizeof f[1]);
  snprintf(f[2], sizeof f[2], "%d x %d", img->width, img->height);
  map_field(img, frame, f[3], sizeof f[3]);
  if (playback && playback->paused)
    snprintf(f[4], sizeof f[4], "paused %d/%d +%ld", playback->at + 1, playback->kept,
             playback->arrived);
  else
    snprintf(f[4], sizeof f[4], "%ld frame%s %.0f/s", img->frames_shown,
             img->frames_shown == 1 ? "" : "s", rate);
  server_field(f[5], sizeof f[5]);
  f[6][0] = '\0';
  if (server.connected)
    snprintf(f[6], sizeof f[6], "from %.64s", server.peer);
  join(f, out, n);
}

// The server's lines, as the picture shows them before the first frame,
// as one phrase.
void StatusLine::server_field(char* out, int n) const
{
  out[0] = '\0';
  if (!server.connected && !server.listening)
    return;
  char l[3][SERVER_LINE];
  const int k = server.server_lines(l);
  int len = 0;
  for (int i = 0; i < k && len < n; i++)
    len += snprintf(out + len, n - len, "%s%s", i ? " " : "", l[i]);
}

// The fields in order, a line broken only between two of them, and only
// once: what the second line cannot hold is cut at the window's edge.
void StatusLine::join(const char (*f)[SERVER_LINE], char* out, int n) const
{
  int len = 0, used = 0, line = 0;
  out[0] = '\0';
  for (int i = 0; i < NFIELDS && len < n; i++) {
    if (!f[i][0])
      continue;
    const int sw = used ? text_width(label, fields[i].sep) : 0, fw = text_width(label, f[i]);
    if (used && line + 1 < lines && used + sw + fw > width) {
      len += snprintf(out + len, n - len, "\n");
      line++;
      used = 0;
    }
    len += snprintf(out + len, n - len, "%s%s", used ? fields[i].sep : "", f[i]);
    used += (used ? sw : 0) + fw;
  }
}

void StatusLine::set_text(const char* s)
{
  if (!strcmp(s, text))
    return;
  snprintf(text, sizeof text, "%s", s);
  XmString xs = XmStringCreateLtoR(text, const_cast<char*>(XmFONTLIST_DEFAULT_TAG));
  XtVaSetValues(label, XmNlabelString, xs, nullptr);
  XmStringFree(xs);
  Widget shl = get_wmshell(label);
  if (shl && XtWindow(shl))
    XChangeProperty(display, XtWindow(shl), XInternAtom(display, "RAVLON_STATUS", False), XA_STRING,
                    8, PropModeReplace, reinterpret_cast<unsigned char*>(text),
                    static_cast<int>(strlen(text)));
}

void tp_refresh_status(XtPointer usr, XtIntervalId*)
{
  static_cast<StatusLine*>(usr)->refresh();
}
