// Motif text wrappers: the abstract text, a scrolled document and a
// one-line field.
#ifndef WTXT_H
#define WTXT_H

#include <Xm/Text.h>

#include "WFcsItm.h"

class WTxt : public WFcsItm {
public:
  WTxt() : txttxt(nullptr), txtlen(0) {}
  ~WTxt() override;

  void set_focus() override;
  void set_focus(char gainflg, char kbdflg) override;
  char is_text() const override { return 1; }
  virtual void edit(XmTextVerifyCallbackStruct* tcb) = 0;
  virtual void undo() {}

  void set_text(const char* s);
  char* get_text();
  void set_multiline(char on);
  char is_multiline() const;
  void set_editable(char on);
  char is_editable() const;
  char get_selrng(long* l, long* r) const;
  long get_length() const;
  void cut();
  void copy() const;
  void paste();
  void clear();
  void unselect();
  void selectall();
  char is_arrow(int key) const;

  char* txttxt;
  int txtlen;

protected:
  void install_focus_callbacks();
  // Replaces txttxt by a new buffer of n bytes; null (and txtlen 0) when
  // the allocation fails.
  char* renew(int n);
};

class WTextDoc : public WTxt {
public:
  WTextDoc(Widget par, char hsbflg, char vsbflg);
  void edit(XmTextVerifyCallbackStruct*) override {}
};

class WTextField : public WTxt {
public:
  explicit WTextField(Widget par);
  void edit(XmTextVerifyCallbackStruct*) override {}
};

void cp_gainfocus_txt(Widget w, XtPointer usr, XtPointer call);
void cp_losefocus_txt(Widget w, XtPointer usr, XtPointer call);
void cp_modify_txt(Widget w, XtPointer usr, XtPointer call);

#endif
