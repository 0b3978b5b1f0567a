// The image window and its server: one top-level window with a File menu
// and the Image, fed by one TCP client at a time.
#ifndef IMAGEWND_H
#define IMAGEWND_H

#include <X11/Xutil.h>

#include "WShl.h"

class Image;
class ImageWnd;

extern ImageWnd* imagewnd;
extern XStandardColormap* smap;
extern char buf[512];

class ImageWnd : public WWindow {
public:
  explicit ImageWnd(XStandardColormap* map);
  ~ImageWnd() override;

  Image* image() const;

  int resize_image();
  int update_colrgb();
  int update_colmap();
  void decomp_colrgb() {}
  void decomp_colmap() {}

  int start_server(int port);
  int conn_client();
  int disconn_client();
  int dispatch();
  void show_status();

  char listening;
  char connected;
  int port;
  int ctl_sock;
  int data_sock;
  XtInputId data_input;
  XtInputId accept_input;
  unsigned char* red_vec;
  unsigned char* green_vec;
  unsigned char* blue_vec;
  unsigned char* cvec;
};

void cp_activate_imagewnd(Widget w, XtPointer usr, XtPointer call);
void ip_accept_imagewnd(XtPointer usr, int* src, XtInputId* id);
void ip_dispatch_imagewnd(XtPointer usr, int* src, XtInputId* id);

#endif
