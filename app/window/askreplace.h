// The question a Save dialog asks before it replaces a file: "FILE exists.
// Replace it?", with Replace and Cancel. Cancel, also the default button
// so that Return cannot replace by accident, leaves the file and the
// dialog that asked as they were.
#ifndef ASKREPLACE_H
#define ASKREPLACE_H

#include <X11/Intrinsic.h>

class WDialogQst;

// Writes a file once it may be written.
class FileWriter {
public:
  virtual ~FileWriter() = default;
  virtual void write_file(const char* path) = 0;
};

class ReplaceQuestion {
public:
  explicit ReplaceQuestion(FileWriter& writer);
  ~ReplaceQuestion();
  ReplaceQuestion(const ReplaceQuestion&) = delete;
  ReplaceQuestion& operator=(const ReplaceQuestion&) = delete;

  // A new file is written at once, an existing one after Replace. -1, and
  // nothing written, when path ends in '/' or names a directory.
  int write(const char* path);
  // The question's answer: Replace writes the file asked about.
  void answer(bool replace);

  WDialogQst* dlg;  // made at the first question

private:
  void ask(const char* path);

  FileWriter& writer;
  char* asked;  // the path the question is about
};

void cp_answer_replace(Widget w, XtPointer usr, XtPointer call);

#endif
