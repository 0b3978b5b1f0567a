// The Save Data dialog's saving: the writer the name's extension asks for.
#include "window/savedata.h"

#include <strings.h>

#include <cstring>

#include "render/frame.h"
#include "window/datarows.h"
#include "window/savefits.h"
#include "window/savenpy.h"

namespace {

typedef int (*DataWriter)(const char* file, const DataRows& d, char* why, size_t whylen);

struct Extension {
  const char* ext;
  DataWriter write;
};
const Extension EXTENSIONS[] = {
    {".npy", write_npy}, {".fits", write_fits}, {".fit", write_fits}, {".fts", write_fits}};

// The writer for the file's extension, in any case; null for another.
DataWriter writer_for(const char* file)
{
  const size_t n = strlen(file);
  for (const Extension& e : EXTENSIONS) {
    const size_t k = strlen(e.ext);
    if (n > k && strcasecmp(file + n - k, e.ext) == 0)
      return e.write;
  }
  return nullptr;
}

}  // namespace

DataSaver::DataSaver(const Frame& f) : FileSaver(f, "Save Data", "*") {}

// The frame held is the one on the screen, whole whatever the next one
// does.
void DataSaver::save(const char* file)
{
  const DataWriter write = writer_for(file);
  char why[256];
  if (!write)
    report(file, "the name must end in .npy, .fits, .fit or .fts");
  else if (!frame.held())
    report(file, "no frame has been shown");
  else if (write(file, DataRows(frame), why, sizeof why) < 0)
    report(file, why);
}
