// File > Save Data...: the frame shown with its own values, as it was
// received, in a .npy or FITS file; the name's extension tells which.
#ifndef SAVEDATA_H
#define SAVEDATA_H

#include "window/savedialog.h"

class DataSaver : public FileSaver {
public:
  explicit DataSaver(const Frame& frame);

  void save(const char* file) override;
};

#endif
