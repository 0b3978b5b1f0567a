// The File menu's dialogs sit on the application shell, as the error
// window does: the image window may have a visual and colour map of its
// own.
#include "window/filedialog.h"

#include <Xm/FileSB.h>

#include "WContext.h"
#include "WDialog.h"
#include "WEtc.h"
#include "WShl.h"

namespace {

const int DLG_W = 400;
const int DLG_H = 300;

}  // namespace

WDialogFile* make_file_dialog(const char* title, const char* pattern, XtCallbackProc cp,
                              XtPointer usr)
{
  WDialogFile* dlg = new WDialogFile(context->appshl->xtwgt);
  dlg->set_title(title);
  dlg->set_geom(upper_middle(DLG_W, DLG_H));
  set_typed_string(dlg->xtwgt, XmNpattern, pattern);
  dlg->set_cp(cp, usr);
  return dlg;
}

const char* chosen_file(WDialogFile* dlg, XtPointer call)
{
  const XmFileSelectionBoxCallbackStruct* cs =
      static_cast<const XmFileSelectionBoxCallbackStruct*>(call);
  dlg->hide();
  if (cs && cs->reason == XmCR_OK && dlg->fnam && dlg->fnam[0])
    return dlg->fnam;
  return nullptr;
}
