// The savers' file dialog and their messages.
#include "window/savedialog.h"

#include <cstdio>

#include <Xm/FileSB.h>

#include "WContext.h"
#include "WDialog.h"
#include "WEtc.h"
#include "WShl.h"
#include "render/frame.h"
#include "base/service.h"

namespace {

const int DLG_W = 400;
const int DLG_H = 300;

}  // namespace

FileSaver::FileSaver(const Frame& f, const char* t, const char* p)
    : dlg(nullptr), frame(f), title(t), pattern(p)
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
  // On the application shell, as the error window: the image window may
  // have a visual and colour map of its own.
  if (!dlg) {
    dlg = new WDialogFile(context->appshl->xtwgt);
    dlg->set_title(title);
    dlg->set_geom(WRect(static_cast<short>((root_rect.w - DLG_W) / 2),
                        static_cast<short>((root_rect.h - DLG_H) / 3), DLG_W, DLG_H));
    set_typed_string(dlg->xtwgt, XmNpattern, pattern);
    dlg->set_cp(cp_answer_save, this);
  }
  dlg->show();
}

// OK and Cancel both close the dialog; OK with a name saves there.
void cp_answer_save(Widget, XtPointer usr, XtPointer call)
{
  FileSaver* s = static_cast<FileSaver*>(usr);
  const XmFileSelectionBoxCallbackStruct* cs =
      static_cast<const XmFileSelectionBoxCallbackStruct*>(call);
  s->dlg->hide();
  if (cs && cs->reason == XmCR_OK && s->dlg->fnam && s->dlg->fnam[0])
    s->save(s->dlg->fnam);
}
