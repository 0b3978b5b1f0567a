// File > Save Picture...: the file dialog, and the writing of the last
// frame, as it was received, to the PNG file chosen there.
#ifndef SAVEPICTURE_H
#define SAVEPICTURE_H

#include <X11/Intrinsic.h>

class Frame;
class Image;
class Server;
class WDialogFile;
struct PngFrame;

class PictureSaver {
public:
  // The frame store's frame, shown by image, fed by server.
  PictureSaver(const Frame& frame, const Image& image, const Server& server);
  ~PictureSaver();
  PictureSaver(const PictureSaver&) = delete;
  PictureSaver& operator=(const PictureSaver&) = delete;

  // Shows the file dialog; without a frame to save, says so instead.
  void choose();
  // Writes the last frame to file now or, while the next frame is being
  // received over its vectors, as soon as that one is whole.
  void save(const char* file);
  // From the image window: a frame has been drawn; the one being received
  // will never be whole.
  void frame_done();
  void frame_lost();

  WDialogFile* dlg;  // made at the first choice
  char* pending;     // where the frame being received goes, or null

private:
  void write(const char* file);
  // The frame as received, for writing; -1 when there is none.
  int saved_frame(PngFrame& f) const;

  const Frame& frame;
  const Image& image;
  const Server& server;
};

void cp_answer_save(Widget w, XtPointer usr, XtPointer call);

#endif
