// Asking before a file is replaced.
#include "window/askreplace.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include <Xm/MessageB.h>

#include "EEtc.h"
#include "WContext.h"
#include "WDialog.h"
#include "WEtc.h"
#include "WShl.h"

namespace {

const int QST_W = 400;
const int QST_H = 100;

bool names_directory(const char* path)
{
  struct stat st;
  const size_t n = strlen(path);
  return (n && path[n - 1] == '/') || (stat(path, &st) == 0 && S_ISDIR(st.st_mode));
}

// A dangling link counts: writing through it would make a file elsewhere.
bool exists(const char* path)
{
  struct stat st;
  return lstat(path, &st) == 0;
}

}  // namespace

ReplaceQuestion::ReplaceQuestion(FileWriter& w) : dlg(nullptr), writer(w), asked(nullptr) {}

ReplaceQuestion::~ReplaceQuestion()
{
  delete dlg;
  delete[] asked;
}

int ReplaceQuestion::write(const char* path)
{
  if (names_directory(path))
    return -1;
  if (exists(path))
    ask(path);
  else
    writer.write_file(path);
  return 0;
}

// On the application shell, as the error window and where it stands.
void ReplaceQuestion::ask(const char* path)
{
  delete[] asked;
  asked = strnew(path);
  if (!dlg) {
    dlg = new WDialogQst(context->appshl->xtwgt);
    dlg->set_title("Replace File");
    dlg->set_geom(upper_middle(QST_W, QST_H));
    set_typed_string(dlg->xtwgt, XmNokLabelString, "Replace");
    XtVaSetValues(dlg->xtwgt, XmNdefaultButtonType, static_cast<XtArgVal>(XmDIALOG_CANCEL_BUTTON),
                  nullptr);
    XtUnmanageChild(XmMessageBoxGetChild(dlg->xtwgt, XmDIALOG_HELP_BUTTON));
    dlg->set_cp(cp_answer_replace, this);
    dlg->set_cp_close(cp_answer_replace, this);
  }
  char msg[600];
  snprintf(msg, sizeof msg, "%.560s exists. Replace it?", path);
  dlg->set_message(msg);
  dlg->show();
}

void ReplaceQuestion::answer(bool replace)
{
  dlg->hide();
  if (replace && asked)
    writer.write_file(asked);
}

// Replace is the box's OK; Cancel and the close button leave all as it was.
void cp_answer_replace(Widget, XtPointer usr, XtPointer call)
{
  const XmAnyCallbackStruct* cs = static_cast<const XmAnyCallbackStruct*>(call);
  static_cast<ReplaceQuestion*>(usr)->answer(cs && cs->reason == XmCR_OK);
}
