// The savers' file dialog and their messages.
#include "window/savedialog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <Xm/FileSB.h>

#include "WContext.h"
#include "WDialog.h"
#include "WEtc.h"
#include "WShl.h"
#include "render/frame.h"
#include "window/filedialog.h"
#include "base/service.h"

FileSaver::FileSaver(const Frame& f, const char* t, const char* p)
    : dlg(nullptr), replace(*this), frame(f), title(t), pattern(p)
{
}

FileSaver::~FileSaver()
{
  delete dlg;
}

void FileSaver::report(const char* file, const char* why)
{
  snprintf(buf, sizeof buf, "Cannot save picture to %.400s: %.80s.", file, why);
  error_dialog(buf);
}

void FileSaver::choose()
{
  if (!frame.held()) {
    error_dialog("There is no picture to save.");
    return;
  }
  if (!dlg)
    dlg = make_file_dialog(title, pattern, cp_answer_save, this);
  dlg->show();
}

void FileSaver::chosen(const char* file)
{
  if (replace.write(file) < 0)
    report(file, strerror(EISDIR));
}

void FileSaver::write_file(const char* file)
{
  dlg->hide();
  save(file);
}

// OK with a name goes on to the file; Cancel, or OK without a name, closes
// the dialog.
void cp_answer_save(Widget, XtPointer usr, XtPointer call)
{
  FileSaver* s = static_cast<FileSaver*>(usr);
  const XmFileSelectionBoxCallbackStruct* cs =
      static_cast<const XmFileSelectionBoxCallbackStruct*>(call);
  if (cs && cs->reason == XmCR_OK && s->dlg->fnam && s->dlg->fnam[0])
    s->chosen(s->dlg->fnam);
  else
    s->dlg->hide();
}
