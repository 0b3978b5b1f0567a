// File > Save Picture...: the file dialog, and the writing of the last
// frame, as it was received, to the PNG file chosen there.
#ifndef SAVEPICTURE_H
#define SAVEPICTURE_H

#include <X11/Intrinsic.h>

#include "window/askreplace.h"

class Frame;
class Image;
class WDialogFile;
struct PngFrame;

class PictureSaver : public FileWriter {
public:
  // The frame store's frame, as image shows it.
  PictureSaver(const Frame& frame, const Image& image);
  ~PictureSaver() override;
  PictureSaver(const PictureSaver&) = delete;
  PictureSaver& operator=(const PictureSaver&) = delete;

  // Shows the file dialog; without a frame to save, says so instead.
  void choose();
  // The name chosen: asks before an existing file is replaced, refuses a
  // directory; the dialog stays up for another name until one is written.
  void chosen(const char* file);
  // Closes the dialog and writes the frame shown to file.
  void write_file(const char* file) override;

  WDialogFile* dlg;  // made at the first choice
  ReplaceQuestion replace;

private:
  // The frame as received, for writing; -1 when there is none.
  int saved_frame(PngFrame& f) const;

  const Frame& frame;
  const Image& image;
};

void cp_answer_save(Widget w, XtPointer usr, XtPointer call);

#endif
