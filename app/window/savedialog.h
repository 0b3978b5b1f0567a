// The File menu's savers: each asks for a file in a dialog of its own and
// writes the frame shown to it, or says why it cannot.
#ifndef SAVEDIALOG_H
#define SAVEDIALOG_H

#include <X11/Intrinsic.h>

#include "window/askreplace.h"

class Frame;
class WDialogFile;

class FileSaver : public FileWriter {
public:
  // The dialog's title, and the pattern of the names it lists.
  FileSaver(const Frame& frame, const char* title, const char* pattern);
  virtual ~FileSaver();
  FileSaver(const FileSaver&) = delete;
  FileSaver& operator=(const FileSaver&) = delete;

  // Shows the file dialog; without a frame to save, says so instead.
  void choose();
  // The name chosen: asks before an existing file is replaced, refuses a
  // directory; the dialog stays up for another name until one is written.
  void chosen(const char* file);
  // Closes the dialog and saves to file.
  void write_file(const char* file) override;
  // Writes the frame shown to file.
  virtual void save(const char* file) = 0;

  WDialogFile* dlg;  // made at the first choice
  ReplaceQuestion replace;

protected:
  // Tells the user that file could not be written, and why.
  static void report(const char* file, const char* why);

  const Frame& frame;

private:
  const char* title;
  const char* pattern;
};

void cp_answer_save(Widget w, XtPointer usr, XtPointer call);

#endif
