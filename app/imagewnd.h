// The image window and its server: one top-level window with a File menu
// and the Image, fed by one TCP client at a time.
#ifndef IMAGEWND_H
#define IMAGEWND_H

#include <netinet/in.h>

#include <X11/Xutil.h>

#include "WShl.h"

class Image;
class ImageWnd;

// The window is this much taller than the image: the menu bar sits above it.
const int MENUBAR_HEIGHT = 32;

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

  // addr nullptr: the address of the host's own name.
  int start_server(int port, const in_addr* addr = nullptr);
  int conn_client();
  int disconn_client();
  // The control socket is watched again after its rest.
  void end_rest();
  int dispatch();
  // Draws the status lines of the server's present state; the image calls
  // it once it can draw, after its start-up picture.
  void show_status();

  char listening;
  char connected;
  int port;
  int ctl_sock;
  int data_sock;
  XtInputId data_input;
  XtInputId accept_input;
  XtIntervalId accept_retry;  // the control socket rests after a failed accept
  unsigned char* red_vec;
  unsigned char* green_vec;
  unsigned char* blue_vec;
  unsigned char* cvec;
  // Bytes each vector holds; a larger frame grows it.
  int red_cap;
  int green_cap;
  int blue_cap;
  int cvec_cap;

private:
  ImageWnd(XStandardColormap* map, const XVisualInfo& vi);
  void build_widgets();

  // The client has left, or its stream cannot be trusted any more: its
  // socket is closed and the server listens for the next one.
  void end_client();
  int close_data();
  void free_vectors();
  void watch_control(char on);
  void rest_control();
  int fail_start(const char* msg);

  // Read one field of a request; a field that does not arrive whole is
  // reported with msg and ends the client.
  int read_field(void* dst, int n, const char* msg);
  int read_int(int& v, const char* msg);
  int read_size(int& size, const char* readmsg, const char* badmsg);
  int read_plane(unsigned char*& vec, int& cap, int size, const char* allocmsg,
                 const char* readmsg);
};

void cp_activate_imagewnd(Widget w, XtPointer usr, XtPointer call);
void ip_accept_imagewnd(XtPointer usr, int* src, XtInputId* id);
void ip_dispatch_imagewnd(XtPointer usr, int* src, XtInputId* id);

#endif
