// File > Record Stream... in this process, as the user works it: the menu
// and the file dialog clicked, frames from a real client over TCP; the
// recording sent again by ravlon-send --replay to a fresh window, pixels
// compared with those first shown; and a file system that fills.
#include "widgets/xfixture.h"
#include "harness.h"

#include <sys/mount.h>

#include <X11/Xatom.h>
#include <Xm/FileSB.h>
#include <Xm/Text.h>

#include "WContext.h"
#include "WDialog.h"
#include "WError.h"
#include "WMenu.h"
#include "base/service.h"
#include "net/protocol.h"
#include "ravlon_client.h"
#include "testframes.h"
#include "window/imagewnd.h"
#include "window/recordstream.h"
#include "wirebytes.h"

namespace {

class Record : public XFixture {
protected:
  void TearDown() override { cleanup(); }
  void open()
  {
    cleanup();
    imagewnd = new ImageWnd(standard_map(display, screen, XA_RGB_BEST_MAP));
    imagewnd->show();
    ASSERT_TRUE(pump_until([] { return imagewnd->image()->pixmap != 0; }));
    port = free_port();
    ASSERT_EQ(imagewnd->start_server(port), 0);
  }
  void connect()
  {
    ASSERT_EQ(client.connect(host_name().c_str(), port), 0);
    ASSERT_TRUE(pump_until([] { return imagewnd->server.connected; }));
  }
  // File > Record Stream...; with a file, its name typed and OK.
  void choose_record(const std::string& file = "")
  {
    Widget file_menu = XtNameToWidget(context->mainmenu->menubar, "File"), pdm = nullptr;
    XtVaGetValues(file_menu, XmNsubMenuId, &pdm, nullptr);
    WidgetList items = nullptr;
    XtVaGetValues(pdm, XmNchildren, &items, nullptr);
    click(file_menu);
    ASSERT_TRUE(pump_until([&] { return XtIsRealized(pdm) && is_viewable(XtWindow(pdm)); }));
    click(items[FILE_RECORD]);
    if (file.empty())
      return;
    WDialogFile* d = nullptr;
    ASSERT_TRUE(pump_until([&] {
      return (d = imagewnd->recording->dlg) && d->is_shown() && is_viewable(XtWindow(d->xtwgt));
    }));
    XmTextSetString(XmFileSelectionBoxGetChild(d->xtwgt, XmDIALOG_TEXT),
                    const_cast<char*>(file.c_str()));
    click(XmFileSelectionBoxGetChild(d->xtwgt, XmDIALOG_OK_BUTTON));
    ASSERT_TRUE(pump_until([&] { return !d->is_shown(); }));
  }
  // The request sent, and shown.
  void send(const Bytes& req)
  {
    const long shown = imagewnd->image()->frames_shown;
    ASSERT_EQ(client.put_bytes(req.data(), static_cast<int>(req.size())), 0);
    ASSERT_TRUE(pump_until([&] { return imagewnd->image()->frames_shown > shown; }));
  }
  bool recording() { return context->mainmenu->is_checked(FILE_RECORD) != 0; }
  static std::string message()
  {
    return errdlg && XtIsManaged(errdlg->xtwgt) ? xm_text(errdlg->xtwgt, XmNmessageString) : "";
  }

  RavlonClient client;
  int port = 0;
};

Bytes rgb_frame(int w, int h, unsigned seed)
{
  const TestFrame f(w, h, 3, seed);
  return ints({REQ_RESIZE, w, h, REQ_COLRGB, f.n()}) + f.bytes[0] + f.bytes[1] + f.bytes[2];
}

// The picture's pixel values, row by row, as the X server has them.
std::vector<unsigned long> pixels(const Image& im)
{
  std::vector<unsigned long> v;
  wrong_pixels(display, im.xwnd, im.width, im.height, [&](int x, int y) {
    v.push_back(raw_pixel(display, im.xwnd, x, y));
    return 0ul;
  });
  return v;
}

}  // namespace

// An RGB frame after a resize, and a typed frame of 16-bit samples that
// takes its own size: the replay shows each exactly as it was shown.
TEST_F(Record, AReplayShowsTheSameFrames)
{
  const TestFrame samples(90, 70, 2, 5);
  const Bytes cases[] = {rgb_frame(120, 80, 3), ints({REQ_FRAME, 70, 90, RAVLON_U16}) +
                                                    samples.bytes[0] + samples.bytes[1]};
  const std::string file = temp_file("");
  for (const Bytes& req : cases) {
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_NO_FATAL_FAILURE(choose_record(file));
    EXPECT_TRUE(recording());
    ASSERT_NO_FATAL_FAILURE(send(req));
    ASSERT_NO_FATAL_FAILURE(choose_record());
    EXPECT_TRUE(pump_until([&] { return !recording() && !imagewnd->server.recorder.recording(); }));
    const std::vector<unsigned long> shown = pixels(*imagewnd->image());
    ASSERT_NO_FATAL_FAILURE(open());
    Proc send;
    ASSERT_TRUE(send.start(RAVLON_SOURCE_DIR "/python/ravlon-send",
                           {"ravlon-send", "--replay", file, "-p", std::to_string(port)}));
    ASSERT_TRUE(pump_until([&] { return !send.running(); }, 20000));
    EXPECT_EQ(send.status(), 0);
    EXPECT_EQ(send.err(), "");
    ASSERT_TRUE(pump_until([] { return imagewnd->image()->frames_shown == 1; }));
    EXPECT_EQ(pixels(*imagewnd->image()), shown);
  }
  unlink(file.c_str());
}

// A file system that fills stops the recording with its reason; the
// stream goes on and the next recording starts afresh.
TEST_F(Record, AFullFileSystemStopsTheRecordingOnly)
{
  char dir[] = "/tmp/ravlon-full-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  if (mount("tmpfs", dir, "tmpfs", 0, "size=64k") != 0) {
    rmdir(dir);
    GTEST_SKIP() << "no tmpfs can be mounted here";
  }
  const std::string file = std::string(dir) + "/stream.rec";
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_NO_FATAL_FAILURE(connect());
  ASSERT_NO_FATAL_FAILURE(choose_record(file));
  const std::string want = "Recording to " + file + " stopped: No space left on device.";
  for (int k = 0; k < 20 && message().empty(); k++)
    ASSERT_NO_FATAL_FAILURE(send(rgb_frame(384, 384, static_cast<unsigned>(k))));
  EXPECT_EQ(message(), want);
  EXPECT_FALSE(recording());
  errdlg->hide();
  ASSERT_NO_FATAL_FAILURE(send(rgb_frame(64, 64, 9)));
  EXPECT_TRUE(imagewnd->server.connected);
  EXPECT_EQ(message(), "");
  umount(dir);
  rmdir(dir);
}
