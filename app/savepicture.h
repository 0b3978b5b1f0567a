// File > Save Picture...: the file dialog, and the writing of the last
// frame, as it was received, to the PNG file chosen there.
#ifndef SAVEPICTURE_H
#define SAVEPICTURE_H

#include <X11/Intrinsic.h>

class WDialogFile;

class PictureSaver {
public:
  PictureSaver();
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
};

void cp_answer_save(Widget w, XtPointer usr, XtPointer call);

#endif
