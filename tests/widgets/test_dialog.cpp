// Dialogs: sizes, buttons, hints and answers, under the real window manager.
#include "test_menu_fixture.h"

#include <cstring>

#include <X11/Xatom.h>
#include <Xm/FileSB.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>

#include "WDialog.h"

namespace {

class DialogTest : public UserFixture {
protected:
  static Window shl(const WDialog& d) { return XtWindow(XtParent(d.xtwgt)); }
  void expect_size(WDialog& d, int w, int h)
  {
    EXPECT_FALSE(d.is_shown());
    show(&d);
    EXPECT_TRUE(sized(shl(d), w, h)) << XtName(d.xtwgt);
  }
};

struct Answers {
  std::vector<int> reasons;
  WDialog* dlg;
};

void answer(Widget, XtPointer u, XtPointer call)
{
  Answers* a = static_cast<Answers*>(u);
  a->reasons.push_back(static_cast<XmAnyCallbackStruct*>(call)->reason);
  a->dlg->hide();
}

TEST_F(DialogTest, ModalFixedSizesAndButtons)
{
  WDialogMsg msg(shell()->xtwgt);
  WDialogQst qst(shell()->xtwgt);
  WDialogFile file(shell()->xtwgt);
  WDialog form(shell()->xtwgt, nullptr);
  WWindow wnd("plain", 0);
  EXPECT_TRUE(msg.is_modal() && qst.is_modal() && file.is_modal() && form.is_modal());
  EXPECT_FALSE(wnd.is_modal());
  EXPECT_STREQ(form.get_title(), "");
  expect_size(msg, 300, 100);
  expect_size(qst, 300, 100);
  expect_size(file, 400, 300);
  for (unsigned char b : {XmDIALOG_OK_BUTTON, XmDIALOG_CANCEL_BUTTON, XmDIALOG_HELP_BUTTON})
    EXPECT_TRUE(XtIsManaged(XmMessageBoxGetChild(qst.xtwgt, b)));
  EXPECT_TRUE(XtIsManaged(XmFileSelectionBoxGetChild(file.xtwgt, XmDIALOG_OK_BUTTON)));
  EXPECT_FALSE(XtIsManaged(XmFileSelectionBoxGetChild(file.xtwgt, XmDIALOG_HELP_BUTTON)));
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(DialogTest, HintsReachTheDialogShell)
{
  WDialogQst d(shell()->xtwgt);
  d.set_decoration(4, 0);
  d.set_function(18, 0);
  show(&d);
  Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", False), type = 0;
  int format = 0;
  unsigned long n = 0, left = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(display, shl(d), hints, 0, 5, False, hints, &type, &format, &n,
                               &left, &data),
            Success);
  ASSERT_EQ(n, 5u);
  long* v = reinterpret_cast<long*>(data);
  EXPECT_EQ(v[1], 19);  // functions: all but resize and maximize
  EXPECT_EQ(v[2], 5);   // decorations: all but the resize handles
  XFree(data);
}

void count(Widget, XtPointer u, XtPointer)
{
  ++*static_cast<int*>(u);
}

// The buttons never hide a dialog themselves; the client's callback hears
// which one was pressed, once however often it was installed.
TEST_F(DialogTest, ButtonsOnlyReachTheClient)
{
  WDialogMsg d(shell()->xtwgt);
  Answers a{{}, &d};
  d.set_message("Sure?");
  show(&d);
  int pressed = 0;
  XtAddCallback(d.xtwgt, XmNokCallback, count, &pressed);
  click(XmMessageBoxGetChild(d.xtwgt, XmDIALOG_OK_BUTTON));
  ASSERT_TRUE(pump_until([&] { return pressed == 1; }));
  EXPECT_TRUE(d.is_shown() && is_viewable(shl(d)));
  d.set_cp(answer, &a);
  d.set_cp(answer, &a);
  click(XmMessageBoxGetChild(d.xtwgt, XmDIALOG_CANCEL_BUTTON));
  ASSERT_TRUE(pump_until([&] { return !a.reasons.empty(); }));
  show(&d);
  click(XmMessageBoxGetChild(d.xtwgt, XmDIALOG_OK_BUTTON));
  ASSERT_TRUE(pump_until([&] { return a.reasons.size() == 2 && !d.is_shown(); }));
  EXPECT_EQ(a.reasons, (std::vector<int>{XmCR_CANCEL, XmCR_OK}));
}

TEST_F(DialogTest, FileDialogKeepsTheLastChosenName)
{
  WDialogFile f(shell()->xtwgt);
  Answers a{{}, &f};
  f.set_cp(answer, &a);
  EXPECT_EQ(f.get_filename(), nullptr);
  Widget txt = XmFileSelectionBoxGetChild(f.xtwgt, XmDIALOG_TEXT);
  for (const char* name : {"/tmp/one.rgb", "/tmp/two.rgb"}) {
    show(&f);
    XmTextSetString(txt, const_cast<char*>(name));
    click(XmFileSelectionBoxGetChild(f.xtwgt, XmDIALOG_OK_BUTTON));
    ASSERT_TRUE(pump_until([&] { return !f.is_shown(); }));
    EXPECT_STREQ(f.get_filename(), name);
  }
  show(&f);
  click(XmFileSelectionBoxGetChild(f.xtwgt, XmDIALOG_CANCEL_BUTTON));
  ASSERT_TRUE(pump_until([&] { return !f.is_shown(); }));
  EXPECT_STREQ(f.get_filename(), "/tmp/two.rgb");
  EXPECT_EQ(a.reasons, (std::vector<int>{XmCR_OK, XmCR_OK, XmCR_CANCEL}));
}

}  // namespace
