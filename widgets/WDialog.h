// Dialogs: transient, modal shells built on Motif's dialog widgets. xtwgt is
// the dialog's content widget; its parent is the dialog shell.
#ifndef WDIALOG_H
#define WDIALOG_H

#include "WShl.h"

// Sets an XmString resource from a plain string, converted by Xt.
void set_typed_string(Widget w, const char* res, const char* s);

class WDialog : public WShl {
public:
  WDialog(Widget par, const char* s);

  void show() override;
  void hide() override;
  void set_title(const char* s) override;
  void set_decoration(long dec, char setflg) override;
  void set_function(long fct, char setflg) override;
  void set_cp_close(XtCallbackProc c, XtPointer u) override;
  char is_modal() const override;
};

class WDialogMsg : public WDialog {
public:
  explicit WDialogMsg(Widget par);
  void show() override;
  void set_message(const char* s);
  void set_cp(XtCallbackProc c, XtPointer u);

  XtCallbackProc cp;
  XtPointer usrdata;
};

class WDialogQst : public WDialog {
public:
  explicit WDialogQst(Widget par);
  void show() override;
  void set_message(const char* s);
  void set_cp(XtCallbackProc c, XtPointer u);

  XtCallbackProc cp;
  XtPointer usrdata;
};

class WDialogFile : public WDialog {
public:
  explicit WDialogFile(Widget par);
  ~WDialogFile() override;
  const char* get_filename() const { return fnam; }
  void set_cp(XtCallbackProc c, XtPointer u);

  char* fnam;
  XtCallbackProc cp;
  XtPointer usrdata;
};

#endif
