// File > Save Picture... and Save Data... in this process, as the user
// works them: the File menu and the file dialog clicked, the frames sent by
// a real client over TCP, and the files read back by other readers
// (Pillow, numpy, cfitsio).
#include "widgets/xfixture.h"
#include "harness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <Xm/FileSB.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>
#include <fitsio.h>

#include "EEtc.h"
#include "WContext.h"
#include "WMenu.h"
#include "WDialog.h"
#include "WError.h"
#include "window/image.h"
#include "window/imagewnd.h"
#include "net/protocol.h"
#include "ravlon_client.h"
#include "render/samples.h"
#include "window/savedata.h"
#include "window/savepicture.h"
#include "window/statusline.h"
#include "base/service.h"
#include "testframes.h"
#include "wirebytes.h"

namespace {

class SavePicture : public XFixture {
protected:
  void TearDown() override
  {
    cleanup();
    if (!dir.empty())
      run("rm -rf " + dir);
  }

  // The image window with the standard colour map, or with a colour file.
  void open(const char* colours = nullptr)
  {
    cleanup();
    XStandardColormap* maps = colours ? nullptr : standard_map(display, screen, XA_RGB_BEST_MAP);
    imagewnd = new ImageWnd(maps);
    if (colours)
      imagewnd->image()->rgbfile = strnew(colours);
    imagewnd->show();
    ASSERT_TRUE(pump_until([] { return imagewnd->image()->pixmap != 0; }));
    port = free_port();
    ASSERT_EQ(imagewnd->start_server(port), 0);
    ASSERT_EQ(client.connect(host_name().c_str(), port), 0);
    ASSERT_TRUE(pump_until([] { return imagewnd->server.connected; }));
  }

  void send(int w, int h, const std::vector<Bytes>& planes, int size)
  {
    ASSERT_EQ(client.resize(w, h), 0);
    if (planes.size() == 3)
      ASSERT_EQ(client.send_rgb(planes[0].data(), planes[1].data(), planes[2].data(), size), 0);
    else
      ASSERT_EQ(client.send_colmap(planes[0].data(), size), 0);
    ASSERT_TRUE(pump_until([&] {
      return imagewnd->frame.held() && imagewnd->frame.kind == static_cast<int>(planes.size());
    }));
  }

  void choose_save(int item = FILE_SAVE)
  {
    Widget file_menu = XtNameToWidget(context->mainmenu->menubar, "File");
    ASSERT_NE(file_menu, nullptr);
    Widget pdm = nullptr;
    XtVaGetValues(file_menu, XmNsubMenuId, &pdm, nullptr);
    WidgetList items = nullptr;
    XtVaGetValues(pdm, XmNchildren, &items, nullptr);
    click(file_menu);
    ASSERT_TRUE(pump_until([&] { return XtIsRealized(pdm) && is_viewable(XtWindow(pdm)); }));
    click(items[item]);
  }

  // File > Save Picture... (or item) unless its dialog is up, the name
  // typed into it, OK.
  void choose_name(const std::string& file, int item = FILE_SAVE)
  {
    FileSaver* s = saver(item);
    if (!s->dlg || !s->dlg->is_shown()) {
      ASSERT_NO_FATAL_FAILURE(choose_save(item));
    }
    ASSERT_TRUE(pump_until(
        [&] { return s->dlg && s->dlg->is_shown() && is_viewable(XtWindow(s->dlg->xtwgt)); }));
    XmTextSetString(XmFileSelectionBoxGetChild(s->dlg->xtwgt, XmDIALOG_TEXT),
                    const_cast<char*>(file.c_str()));
    click(XmFileSelectionBoxGetChild(s->dlg->xtwgt, XmDIALOG_OK_BUTTON));
  }

  void save_as(const std::string& file, int item = FILE_SAVE)
  {
    ASSERT_NO_FATAL_FAILURE(choose_name(file, item));
    ASSERT_TRUE(pump_until([&] { return !saver(item)->dlg->is_shown(); }));
    pump(100);
  }

  static FileSaver* saver(int item)
  {
    return item == FILE_SAVE ? static_cast<FileSaver*>(imagewnd->saver) : imagewnd->data_saver;
  }

  std::string scratch()
  {
    char tmpl[] = "/tmp/ravlon-save-XXXXXX";
    dir = mkdtemp(tmpl);
    return dir;
  }

  static std::string message()
  {
    return errdlg && XtIsManaged(errdlg->xtwgt) ? xm_text(errdlg->xtwgt, XmNmessageString) : "";
  }

  RavlonClient client;
  int port = 0;
  std::string dir;
};

// The PNG as Pillow reads it: "MODE W H" and the rows' RGB bytes.
std::string decode(const std::string& png, Bytes& rgb)
{
  std::string raw = png + ".raw", head = png + ".head";
  run("/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
      "open(sys.argv[2], 'w').write('%s %d %d' % (im.mode, im.width, im.height)); "
      "open(sys.argv[3], 'wb').write(im.convert('RGB').tobytes())\" " +
      png + " " + head + " " + raw);
  std::ifstream h(head), r(raw, std::ios::binary);
  rgb.assign(std::istreambuf_iterator<char>(r), std::istreambuf_iterator<char>());
  return std::string(std::istreambuf_iterator<char>(h), std::istreambuf_iterator<char>());
}

// n random bytes.
Bytes random_bytes(int n, unsigned seed)
{
  return TestFrame(n, 1, 1, seed).bytes[0];
}

// numpy's reading of a .npy file: "DTYPE SHAPE" and the array's bytes.
std::string load_npy(const std::string& npy, Bytes& values)
{
  run("/usr/bin/python3 -c \"import sys, numpy; a = numpy.load(sys.argv[1]); "
      "open(sys.argv[1] + '.head', 'w').write('%s %s' % (a.dtype.str, a.shape)); "
      "open(sys.argv[1] + '.raw', 'wb').write(a.tobytes())\" " +
      npy);
  std::ifstream h(npy + ".head"), r(npy + ".raw", std::ios::binary);
  values.assign(std::istreambuf_iterator<char>(r), std::istreambuf_iterator<char>());
  return std::string(std::istreambuf_iterator<char>(h), std::istreambuf_iterator<char>());
}

// cfitsio's reading of a FITS file: its values in the file's order, its
// axes; the image's type (USHORT_IMG for 16-bit unsigned values), or -1.
int load_fits(const std::string& file, long axes[3], std::vector<double>& values)
{
  fitsfile* f = nullptr;
  int status = 0, type = 0, anynull = 0;
  axes[0] = axes[1] = axes[2] = 1;
  fits_open_diskfile(&f, file.c_str(), READONLY, &status);
  fits_get_img_equivtype(f, &type, &status);
  fits_get_img_size(f, 3, axes, &status);
  values.assign(status ? 0 : static_cast<size_t>(axes[0] * axes[1] * axes[2]), 0);
  fits_read_img(f, TDOUBLE, 1, static_cast<LONGLONG>(values.size()), nullptr, values.data(),
                &anynull, &status);
  fits_close_file(f, &status);
  return status ? -1 : type;
}

}  // namespace

// A non-square frame with its last bytes missing: the file holds the
// frame's own bytes row by row at its own size, black past what arrived.
// Colour-mapped frames take the colour file's colours, black for indices
// past its 128 entries.
TEST_F(SavePicture, FramesAreSavedAsReceived)
{
  const int w = 300, h = 200, n = w * h, size = n - 450;
  std::string d = scratch();
  std::string colours = d + "/colours";
  {
    std::ofstream f(colours);
    for (int i = 0; i < 128; i++)
      f << (i * 2) / 255.0 << ' ' << (255 - i) / 255.0 << ' ' << (i * 37 % 256) / 255.0 << '\n';
  }
  struct Case {
    int nplanes;
    const char* colours;
  } cases[] = {{3, nullptr}, {1, colours.c_str()}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.nplanes);
    ASSERT_NO_FATAL_FAILURE(open(k.colours));
    std::vector<Bytes> planes;
    for (int p = 0; p < k.nplanes; p++)
      planes.push_back(random_bytes(n, static_cast<unsigned>(p + 7 * k.nplanes)));
    ASSERT_NO_FATAL_FAILURE(send(w, h, planes, size));
    client.close();  // the picture stays, and can still be saved
    ASSERT_TRUE(pump_until([] { return !imagewnd->server.connected; }));
    std::string png = d + "/picture" + std::to_string(k.nplanes) + ".png";
    ASSERT_NO_FATAL_FAILURE(save_as(png));
    EXPECT_EQ(message(), "");
    Bytes rgb;
    ASSERT_EQ(decode(png, rgb), "RGB 300 200");
    ASSERT_EQ(rgb.size(), static_cast<size_t>(n) * 3);
    int wrong = 0;
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) {
        const int i = x * h + y;
        unsigned char want[3] = {0, 0, 0};
        if (i < size && k.nplanes == 3) {
          for (int c = 0; c < 3; c++)
            want[c] = planes[c][i];
        } else if (i < size && planes[0][i] < 128) {
          const int e = planes[0][i];
          want[0] = static_cast<unsigned char>(e * 2);
          want[1] = static_cast<unsigned char>(255 - e);
          want[2] = static_cast<unsigned char>(e * 37 % 256);
        }
        wrong += memcmp(&rgb[(static_cast<size_t>(y) * w + x) * 3], want, 3) != 0;
      }
    EXPECT_EQ(wrong, 0);
  }
  EXPECT_EQ(x_errors(), 0);
}

// Before any frame there is nothing to save. A place that cannot be written:
// the error window names the file and the system's reason, no file is left
// behind, and the picture can still be saved elsewhere. Saved while the
// next frame is arriving, and after its client has left inside it and the
// picture has been zoomed: the frame on the screen, at once.
TEST_F(SavePicture, ErrorsAreReportedAndTheFrameShownIsSavedWhateverTheNextDoes)
{
  std::string d = scratch();
  std::string locked = d + "/locked";
  mkdir(locked.c_str(), 0555);
  // Only an unprivileged user is kept out of a read-only directory.
  std::string dirs[] = {d + "/missing", geteuid() ? locked : "/sys"};
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_NO_FATAL_FAILURE(choose_save());
  EXPECT_TRUE(pump_until([] { return message() == "There is no picture to save."; })) << message();
  EXPECT_EQ(imagewnd->saver->dlg, nullptr);
  errdlg->hide();
  const Bytes a(4096, 50), b = random_bytes(4096, 3);
  ASSERT_NO_FATAL_FAILURE(send(64, 64, {a, a, a}, 4096));
  for (const std::string& place : dirs) {
    std::string probe = place + "/probe", file = place + "/picture.png";
    int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_LT(fd, 0) << place << " can be written here";
    std::string want = "Cannot save picture to " + file + ": " + strerror(errno) + ".";
    ASSERT_NO_FATAL_FAILURE(save_as(file));
    EXPECT_TRUE(pump_until([&] { return message() == want; })) << message();
    EXPECT_NE(access(file.c_str(), F_OK), 0);
    errdlg->hide();
  }
  const std::string during = d + "/during.png", after = d + "/after.png";
  ASSERT_EQ(client.put_int(REQ_COLRGB), 0);
  ASSERT_EQ(client.put_int(4096), 0);
  ASSERT_EQ(client.put_bytes(b.data(), 4096), 0);
  ASSERT_EQ(client.put_bytes(b.data(), 100), 0);
  ASSERT_TRUE(pump_until([] { return imagewnd->server.request_in_progress(); }));
  ASSERT_NO_FATAL_FAILURE(save_as(during));
  const unsigned long shown = pixel_at(imagewnd->image()->pixmap, 10, 10);
  client.close();
  ASSERT_TRUE(pump_until([] { return !imagewnd->server.connected; }));
  EXPECT_EQ(message(), "Cannot read green color vector.");
  errdlg->hide();
  ASSERT_EQ(imagewnd->zoom_to(1), 0);
  EXPECT_EQ(pixel_at(imagewnd->image()->pixmap, 30, 30), shown);
  ASSERT_NO_FATAL_FAILURE(save_as(after));
  EXPECT_EQ(message(), "");
  for (const std::string& file : {during, after}) {
    Bytes rgb;
    ASSERT_EQ(decode(file, rgb), "RGB 64 64") << file;
    EXPECT_EQ(rgb, Bytes(64 * 64 * 3, 50)) << file;
  }
}

// Save Data... of every format: numpy reads back the values sent, in their
// own type and byte order, H x W or H x W x 3 (RGBA's alpha left out; RGB
// planes and colour-map indices as bytes, zeros past what arrived); and
// cfitsio the same values, the bottom row first; Save Picture of the
// typed ones their colours. Another extension is refused.
TEST_F(SavePicture, DataIsSavedWithItsOwnValues)
{
  const int w = 30, h = 20, n = w * h, cut = n - 45;
  const int big = RAVLON_BIG_ENDIAN;
  struct Case {
    int kind;  // planes 3 or 1 (index); else a typed frame of format
    int format;
    const char* npy;  // numpy's dtype and shape
    int fits;
  } cases[] = {
      {FRAME_SAMPLES, RAVLON_U8, "|u1 (20, 30)", BYTE_IMG},
      {FRAME_SAMPLES, RAVLON_U16 | big, ">u2 (20, 30)", USHORT_IMG},
      {FRAME_SAMPLES, RAVLON_U16, "<u2 (20, 30)", USHORT_IMG},
      {FRAME_SAMPLES, RAVLON_I16 | big, ">i2 (20, 30)", SHORT_IMG},
      {FRAME_SAMPLES, RAVLON_I32, "<i4 (20, 30)", LONG_IMG},
      {FRAME_SAMPLES, RAVLON_F32 | big, ">f4 (20, 30)", FLOAT_IMG},
      {FRAME_SAMPLES, RAVLON_F64, "<f8 (20, 30)", DOUBLE_IMG},
      {FRAME_SAMPLES, RAVLON_RGB, "|u1 (20, 30, 3)", BYTE_IMG},
      {FRAME_SAMPLES, RAVLON_RGBA, "|u1 (20, 30, 3)", BYTE_IMG},
      {FRAME_RGB, 0, "|u1 (20, 30, 3)", BYTE_IMG},
      {FRAME_INDEX, 0, "|u1 (20, 30)", BYTE_IMG},
  };
  const std::string d = scratch();
  ASSERT_NO_FATAL_FAILURE(open());
  for (const Case& k : cases) {
    SCOPED_TRACE(k.npy + std::to_string(k.format));
    const bool typed = k.kind == FRAME_SAMPLES, one = !typed || !rgb_format(k.format);
    const int px = typed ? pixel_bytes(k.format) : 1, ch = one && k.kind != FRAME_RGB ? 1 : 3;
    Bytes want;  // row by row, as the .npy file holds them
    if (typed) {
      Bytes s = random_bytes(n * px, static_cast<unsigned>(k.format));
      if (!integer_format(k.format))  // a NaN at pixel 1
        for (int b = 0; b < 2; b++)
          s[static_cast<size_t>(px + ((k.format & big) ? b : px - 1 - b))] = "\x7f\xf8"[b];
      ASSERT_EQ(client.put_bytes((ints({REQ_FRAME, w, h, k.format}) + s).data(), 16 + n * px), 0);
      ASSERT_TRUE(pump_until([&] { return imagewnd->frame.format == k.format; }));
      for (int i = 0; i < n * px; i++)
        if (px != 4 || one || i % 4 != 3)
          want.push_back(s[static_cast<size_t>(i)]);
    } else {
      std::vector<Bytes> planes;
      for (int c = 0; c < ch; c++)
        planes.push_back(random_bytes(n, static_cast<unsigned>(c + 50 * ch)));
      ASSERT_NO_FATAL_FAILURE(send(w, h, planes, cut));
      for (int i = 0; i < n * ch; i++) {
        const int at = i / ch % w * h + i / ch / w;  // x * h + y
        want.push_back(at < cut ? planes[static_cast<size_t>(i % ch)][static_cast<size_t>(at)] : 0);
      }
    }
    const std::string file = d + "/values" + std::to_string(k.kind * 1000 + k.format);
    Bytes got;
    ASSERT_NO_FATAL_FAILURE(save_as(file + ".npy", FILE_SAVE_DATA));
    EXPECT_EQ(load_npy(file + ".npy", got), k.npy);
    EXPECT_TRUE(got == want);
    ASSERT_NO_FATAL_FAILURE(save_as(file + ".FITS", FILE_SAVE_DATA));
    long axes[3];
    std::vector<double> v;
    EXPECT_EQ(load_fits(file + ".FITS", axes, v), k.fits);
    ASSERT_EQ(v.size(), want.size() / static_cast<size_t>(one ? px : 1));
    EXPECT_EQ(axes[2], ch);
    int wrong = 0;
    for (int i = 0; i < static_cast<int>(v.size()); i++) {
      const int c = i / n, x = i % w, y = h - 1 - i % n / w;  // FITS counts rows upwards
      const double e =
          sample_value(&want[static_cast<size_t>(((y * w + x) * ch + c) * (one ? px : 1))],
                       typed && one ? k.format : RAVLON_U8);
      wrong += !(e == v[static_cast<size_t>(i)] ||
                 (std::isnan(e) && std::isnan(v[static_cast<size_t>(i)])));
    }
    EXPECT_EQ(wrong, 0);
    if (!typed)
      continue;
    // Save Picture of a typed frame: its colours as shown, RGB samples as
    // they are, NaN magenta.
    Bytes rgb;
    ASSERT_NO_FATAL_FAILURE(save_as(file + ".png"));
    ASSERT_EQ(decode(file + ".png", rgb), "RGB 30 20");
    if (!one) {
      EXPECT_TRUE(rgb == want);
    } else if (!integer_format(k.format)) {
      EXPECT_EQ(Bytes(rgb.begin() + 3, rgb.begin() + 6), Bytes({255, 0, 255}));
    }
  }
  EXPECT_EQ(message(), "");
  ASSERT_NO_FATAL_FAILURE(save_as(d + "/values.png", FILE_SAVE_DATA));
  EXPECT_EQ(message(), "Cannot save picture to " + d +
                           "/values.png: the name must end in .npy, .fits, .fit or .fts.");
  EXPECT_NE(access((d + "/values.png").c_str(), F_OK), 0);
}

// A 64 x 48 frame at zoom 1/16 (a 4 x 3 view) stands centred on black in a
// window that keeps the menu bar in one row and the status line whole in
// two; the pointer's pixel is exact. An existing file is replaced only
// after Replace: Cancel and Return (the default) leave it byte for byte and
// the file dialog up for another name. A directory is refused.
TEST_F(SavePicture, NarrowViewAndTheQuestionBeforeReplacing)
{
  const int w = 64, h = 48;
  const std::vector<Bytes> planes = {random_bytes(w * h, 1), random_bytes(w * h, 2),
                                     random_bytes(w * h, 3)};
  ASSERT_NO_FATAL_FAILURE(open());
  ASSERT_NO_FATAL_FAILURE(send(w, h, planes, w * h));
  ASSERT_EQ(imagewnd->zoom_to(-4), 0);
  xdo("mousemove 1279 1023");
  pump(300);
  Widget pic = imagewnd->image()->xtwgt, label = imagewnd->status->label;
  const XRectangle win = geometry(display, XtWindow(imagewnd->xtwgt)),
                   at = geometry(display, XtWindow(pic));
  EXPECT_EQ(at.width, 4);
  EXPECT_EQ(2 * (at.x - win.x) + 4, win.width);
  EXPECT_EQ(pixel_at(XtWindow(XtParent(pic)), 0, 1), colortbl[0]);
  EXPECT_EQ(geometry(display, XtWindow(XtNameToWidget(imagewnd->menubar, "View"))).y,
            geometry(display, XtWindow(XtNameToWidget(imagewnd->menubar, "File"))).y);
  XmString xs = nullptr;
  XmFontList fl = nullptr;
  XtVaGetValues(label, XmNlabelString, &xs, XmNfontList, &fl, nullptr);
  EXPECT_NE(xm_text(label, XmNlabelString).find("Client connected"), std::string::npos);
  EXPECT_EQ(XmStringLineCount(xs), 2);
  EXPECT_LE(XmStringWidth(fl, xs) + 4, win.width);  // the widest line, and the margins
  XmStringFree(xs);
  xdo("mousemove " + std::to_string(at.x + 1) + " " + std::to_string(at.y + 2));
  const size_t i = 16 * h + 32;
  const std::string under = "(16, 32) " + std::to_string(planes[0][i]) + " " +
                            std::to_string(planes[1][i]) + " " + std::to_string(planes[2][i]);
  EXPECT_TRUE(pump_until([&] { return xm_text(label, XmNlabelString).find(under) == 0; }))
      << xm_text(label, XmNlabelString);

  const std::string d = scratch(), old = d + "/old.png", junk = "not a picture";
  const struct {
    std::string file;
    char answer;  // to the question: Replace, Cancel or Return ('\n'); 0 when none is asked
  } cases[] = {{old, 'C'}, {old, '\n'}, {old, 'R'}, {d + "/new.png", 0}, {d, 0}, {d + "/sub/", 0}};
  Bytes want(w * h * 3), rgb;
  for (int p = 0; p < w * h * 3; p++)
    want[p] = planes[p % 3][(p / 3) % w * h + p / 3 / w];
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file + " " + c.answer);
    const bool dir = c.file.back() != 'g', written = !dir && c.answer != 'C' && c.answer != '\n';
    std::ofstream(old) << junk;
    ASSERT_NO_FATAL_FAILURE(choose_name(c.file));
    PictureSaver* s = imagewnd->saver;
    if (c.answer) {
      ASSERT_TRUE(pump_until([&] { return s->replace.dlg && s->replace.dlg->is_shown(); }));
      EXPECT_EQ(xm_text(s->replace.dlg->xtwgt, XmNmessageString), old + " exists. Replace it?");
      pump(300);
      if (c.answer == '\n')
        xdo("key Return");
      else
        click(XmMessageBoxGetChild(s->replace.dlg->xtwgt,
                                   c.answer == 'R' ? XmDIALOG_OK_BUTTON : XmDIALOG_CANCEL_BUTTON));
    }
    if (dir) {
      EXPECT_TRUE(pump_until([&] {
        return message() == "Cannot save picture to " + c.file + ": Is a directory.";
      })) << message();
      errdlg->hide();
    }
    pump(300);
    EXPECT_EQ(s->dlg->is_shown(), !written);
    std::ifstream f(old);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(f), {}) == junk, c.answer != 'R');
    if (written) {
      EXPECT_EQ(decode(c.file, rgb), "RGB 64 48");
      EXPECT_TRUE(rgb == want);
    }
  }
  EXPECT_NE(access((d + "/sub").c_str(), F_OK), 0);
}
