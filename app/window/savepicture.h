// File > Save Picture...: the file dialog, and the writing of the last
// frame, as it was received, to the PNG file chosen there.
#ifndef SAVEPICTURE_H
#define SAVEPICTURE_H

#include <X11/Intrinsic.h>

class Frame;
class Image;
class WDialogFile;
struct PngFrame;

class PictureSaver {
public:
  // The frame store's frame, as image shows it.
  PictureSaver(const Frame& frame, const Image& image);
  ~PictureSaver();
  PictureSaver(const PictureSaver&) = delete;
  PictureSaver& operator=(const PictureSaver&) = delete;

  // Shows the file dialog; without a frame to save, says so instead.
  void choose();
  // Writes the frame shown to file.
  void save(const char* file);

  WDialogFile* dlg;  // made at the first choice

private:
  // The frame as received, for writing; -1 when there is none.
  int saved_frame(PngFrame& f) const;

  const Frame& frame;
  const Image& image;
};

void cp_answer_save(Widget w, XtPointer usr, XtPointer call);

#endif
