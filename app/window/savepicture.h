// File > Save Picture...: the last frame, as it was received, written to
// the PNG file chosen in its dialog.
#ifndef SAVEPICTURE_H
#define SAVEPICTURE_H

#include "window/savedialog.h"

class Image;
struct PngFrame;

class PictureSaver : public FileSaver {
public:
  // The frame store's frame, as image shows it.
  PictureSaver(const Frame& frame, const Image& image);

  void save(const char* file) override;

private:
  // The frame as received, for writing; -1 when there is none.
  int saved_frame(PngFrame& f) const;

  const Image& image;
};

#endif
