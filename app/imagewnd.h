// The image window and its server: one top-level window with a File menu
// and the Image, fed by one TCP client at a time.
#ifndef IMAGEWND_H
#define IMAGEWND_H

#include <sys/socket.h>

#include <X11/Xutil.h>

#include "WEtc.h"
#include "WShl.h"
#include "decoder.h"
#include "listenaddr.h"

class Image;
class ImageWnd;
class PictureSaver;
class StatusLine;
struct PngFrame;

// The last frame drawn, as it was received: nplanes 3 (RGB) or 1 (index)
// while its vectors still hold it, 0 when there is none or they are being
// written again; and its bytes per plane. It is of the image's present
// size: a resize forgets it.
struct ShownFrame {
  int nplanes;
  int size;
};

// The longest of the server's lines, with its end.
const int SERVER_LINE = 96;

extern ImageWnd* imagewnd;
extern XStandardColormap* smap;
extern char buf[512];

class ImageWnd : public WWindow, public RequestSink {
public:
  explicit ImageWnd(XStandardColormap* map);
  ~ImageWnd() override;

  Image* image() const;

  // Whole requests from the decoder.
  unsigned char* plane_buffer(int plane, int size) override;
  int resize_image(int w, int h) override;
  int update_colrgb(int size) override;
  int update_colmap(int size) override;
  void disconnect_request() override;
  void refuse_request(const char* msg) override;
  void fail_request(const char* msg) override;
  void decomp_colrgb() {}
  void decomp_colmap() {}

  // at nullptr: the address of the host's own name. -1 with the message
  // in buf.
  int start_server(int port, const ListenAt* at = nullptr);
  int conn_client();
  int disconn_client();
  // The control socket is watched again after its rest.
  void end_rest();
  // Reads what the client has sent, a bounded amount at a time.
  int dispatch();
  // The request in progress made no progress for STALL_SECONDS.
  void give_up_stalled();
  // Shows the server's present state: before the first frame in the
  // picture (the image calls it once it can draw, after its start-up
  // picture), in the status line always.
  void show_status();
  // The server's state in the lines the picture shows (waiting or
  // connected, and the port); their number, at most 3.
  int server_lines(char lines[][SERVER_LINE]) const;
  // The status line is refreshed soon.
  void touch_status();
  // The image at zoom 2^shift, the window at its new size where it stands.
  int zoom_to(int shift);
  // The zoom at which the frame fits the screen whole.
  int fit_zoom() const;
  // The largest view that fits the screen with the window's frame, menu
  // bar and status line, for a picture zw pixels wide when zoomed.
  void max_view(int zw, int& w, int& h) const;
  // The window takes the view's size plus the menu bar and status line.
  void fit_window();

  // The last frame's planes and size for saving; -1 when there is none.
  int saved_frame(PngFrame& f) const;
  // A frame's planes are arriving over the last frame's vectors.
  bool frame_arriving() const;
  // Draws the last frame again; the image calls it once it can draw.
  void redraw_frame();

  char listening;
  char connected;
  int port;
  int ctl_sock;
  int data_sock;
  XtInputId data_input;
  XtInputId accept_input;
  WAlarm accept_rest;  // the control socket rests after a failed accept
  WAlarm stall;        // armed while a request is in progress
  Decoder decoder;
  unsigned char* red_vec;
  unsigned char* green_vec;
  unsigned char* blue_vec;
  unsigned char* cvec;
  // Bytes each vector holds; a larger frame grows it.
  int red_cap;
  int green_cap;
  int blue_cap;
  int cvec_cap;
  ShownFrame shown;
  PictureSaver* saver;  // File > Save Picture...
  StatusLine* status;
  Widget menubar;
  char peer[64];  // the client's address while one is connected

private:
  ImageWnd(XStandardColormap* map, const XVisualInfo& vi);
  void build_widgets();
  int chrome_height(int w) const;

  // The client has left, or its stream cannot be trusted any more: its
  // socket is closed and the server listens for the next one.
  void end_client();
  // The same after msg, when there is one, in the error window.
  void drop_client(const char* msg);
  int close_data();
  void free_vectors();
  void frame_drawn(int nplanes, int size);
  void forget_frame(int plane);
  void vector_slot(int plane, unsigned char**& vec, int*& cap);
  void watch_control(char on);
  void rest_control();
  void watch_stall(bool progress);
  int fail_start(const char* msg);
  int bind_control(const ListenAt& sa);
  int refuse(int s, const sockaddr* peer);
};

void eh_keyboard_imagewnd(Widget w, XtPointer usr, XEvent* evt, Boolean* cont);
void cp_activate_imagewnd(Widget w, XtPointer usr, XtPointer call);
void ip_accept_imagewnd(XtPointer usr, int* src, XtInputId* id);
void ip_dispatch_imagewnd(XtPointer usr, int* src, XtInputId* id);
void tp_stall_imagewnd(XtPointer usr, XtIntervalId* id);
void tp_accept_imagewnd(XtPointer usr, XtIntervalId* id);

#endif
