// The image window: one top-level window with a File and a View menu, the
// Image and the status line; it owns the frame store and the server that
// feeds it, one client at a time.
#ifndef IMAGEWND_H
#define IMAGEWND_H

#include <X11/Xutil.h>

#include "WShl.h"
#include "net/server.h"
#include "render/frame.h"
#include "render/history.h"
#include "window/image.h"
#include "window/menu.h"
#include "window/playback.h"

class ColourBar;
class ImageWnd;
class DataSaver;
class LimitsDialog;
class PictureSaver;
class StreamRecording;
class WSld;

// The history's budget unless the historyMemory resource says otherwise.
const long DEFAULT_HISTORY_MB = 256;
class StatusLine;

extern ImageWnd* imagewnd;
extern XStandardColormap* smap;

// Deletes the error window and the image window: what every way of
// ending does first.
void cleanup();

class ImageWnd : public WWindow,
                 public RequestSink,
                 public ServerWatcher,
                 public ImageListener,
                 public MenuTarget {
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
  unsigned char* sample_buffer(long bytes) override;
  void frame_arriving(int w, int h, int format, long bytes) override;
  int update_frame(int w, int h, int format) override;
  const char* check_region(int x, int y, int w, int h, int format) override;
  int update_region(int x, int y, int w, int h) override;
  int update_view(const ViewRequest& v) override;
  void refuse_request(const char* msg) override;
  void fail_request(const char* msg) override;
  void decomp_colrgb() {}
  void decomp_colmap() {}

  // The server's operations.
  int start_server(int p, const ListenAt* at = nullptr, const char* local = nullptr)
  {
    return server.start_server(p, at, local);
  }
  int disconn_client();
  int dispatch() { return server.dispatch(); }

  // The server's news, and the picture's.
  void server_changed() override { show_status(); }
  void client_left() override;
  void title_drawn() override { show_status(); }
  void view_touched() override { touch_status(); }
  // The menu's marks and the colour bar follow the view.
  void view_changed() override;

  // The menus' commands.
  void choose_save() override;
  void choose_save_data() override;
  void choose_record() override;
  int zoom_shift() const override { return image()->zoom_shift; }
  // The image at zoom 2^shift, the window at its new size where it stands.
  int zoom_to(int shift) override;
  // The zoom at which the frame fits the screen whole.
  int fit_zoom() const override;
  void quit() override;
  // Pause and resume; while paused the stream goes on into the history.
  void toggle_pause() override;
  const ViewSettings& shown_view() const override { return image()->view; }
  void choose_view(const ViewSettings& v) override { image()->set_view(v); }
  void choose_limits() override;
  // The frame by frames back (negative) or forward in the history; to
  // the oldest or newest at the ends. Pauses.
  void step(int by);
  // The keys of the window: the history's, then the picture's.
  void keyboard(const XKeyEvent* ev);

  // Shows the server's present state: before the first frame in the
  // picture, in the status line always.
  void show_status();
  // The status line is refreshed soon.
  void touch_status();
  // The largest view that fits the screen with the window's frame, menu
  // bar and status line, for a picture zw pixels wide when zoomed.
  void max_view(int zw, int& w, int& h) const;
  // The window takes the view's size plus the menu bar and status line,
  // and at least min_width(): a narrower view stands centred in it.
  void fit_window();
  // The narrowest window: the menu bar in one row, the status line of a
  // small picture whole in two lines (as the fonts make them).
  int min_width() const;

  Frame frame;  // the frame shown
  Server server;
  History history;
  Playback playback;
  int live_w;  // the stream's frame size, also while paused
  int live_h;
  WSld* slider;                // where the frame shown stands in the history, while paused
  ColourBar* bar;              // under a one-channel frame
  PictureSaver* saver;         // File > Save Picture...
  DataSaver* data_saver;       // File > Save Data...
  StreamRecording* recording;  // File > Record Stream...
  LimitsDialog* limits;        // View > Limits > Set Limits..., made at the first choice
  StatusLine* status;
  Menu* menu;
  Widget menubar;

private:
  ImageWnd(XStandardColormap* map, const XVisualInfo& vi);
  void build_widgets();
  int show_frame(FrameKind k, int size, int format = 0);
  void keep_paused(FrameKind k, int size, int format);
  void show_kept(int i);
  void build_slider();
  // The slider shows the pause, and where the frame shown stands.
  void update_slider();
  // The widgets under the picture for the frame shown and the pause.
  void lay_out_under();
  // A frame has been drawn: the colour bar follows it.
  void frame_drawn();
  int show_size(int w, int h);
  // The frame a region belongs to: the newest received.
  Frame& live_frame();
  int chrome_height(int w) const;
  // The window's width for a view vw wide; status line and picture laid
  // out for it.
  int lay_out(int vw);
};

void eh_keyboard_imagewnd(Widget w, XtPointer usr, XEvent* evt, Boolean* cont);
void cp_history_imagewnd(Widget w, XtPointer usr, XtPointer call);
void cp_activate_imagewnd(Widget w, XtPointer usr, XtPointer call);

#endif
