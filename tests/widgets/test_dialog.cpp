// Dialogs: sizes, buttons, hints and answers, under the real window manager.
#include "test_menu_fixture.h"

#include <Xm/FileSB.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>

#include "WDialog.h"

namespace {

Window shl(const WDialog& d)
{
  return XtWindow(XtParent(d.xtwgt));
}

// Records the reason of each answer and hides the dialog, as a client does.
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

class DialogTest : public UserFixture {};

TEST_F(DialogTest, HiddenFixedSizeWithHintsAndButtons)
{
  WDialogMsg msg(shell()->xtwgt);
  WDialogQst qst(shell()->xtwgt);
  WDialogFile file(shell()->xtwgt);
  qst.set_decoration(4, 0);
  qst.set_function(18, 0);
  for (WDialog* d : {static_cast<WDialog*>(&msg), static_cast<WDialog*>(&qst)}) {
    EXPECT_FALSE(d->is_shown());
    show(d);
    EXPECT_TRUE(sized(shl(*d), 300, 100));
  }
  show(&file);
  EXPECT_TRUE(sized(shl(file), 400, 300));
  for (unsigned char b : {XmDIALOG_OK_BUTTON, XmDIALOG_CANCEL_BUTTON, XmDIALOG_HELP_BUTTON})
    EXPECT_TRUE(XtIsManaged(XmMessageBoxGetChild(qst.xtwgt, b)));
  EXPECT_FALSE(XtIsManaged(XmFileSelectionBoxGetChild(file.xtwgt, XmDIALOG_HELP_BUTTON)));
  EXPECT_EQ(motif_hint(display, shl(qst), 1), 19);  // all functions but resize, maximize
  EXPECT_EQ(motif_hint(display, shl(qst), 2), 5);   // all decorations but resize handles
  EXPECT_EQ(x_errors(), 0);
}

// The buttons never hide a dialog themselves; the client's callback hears
// which one was pressed, once however often it was installed.
TEST_F(DialogTest, ButtonsOnlyReachTheClient)
{
  WDialogMsg d(shell()->xtwgt);
  Answers a{{}, &d};
  d.set_message("Sure?");
  show(&d);
  Widget ok = XmMessageBoxGetChild(d.xtwgt, XmDIALOG_OK_BUTTON);
  int pressed = 0;
  XtAddCallback(d.xtwgt, XmNokCallback, cp_count, &pressed);
  click(ok);
  ASSERT_TRUE(pump_until([&] { return pressed == 1; }));
  EXPECT_TRUE(d.is_shown() && is_viewable(shl(d)));
  d.set_cp(answer, &a);
  d.set_cp(answer, &a);
  click(XmMessageBoxGetChild(d.xtwgt, XmDIALOG_CANCEL_BUTTON));
  ASSERT_TRUE(pump_until([&] { return !d.is_shown(); }));
  show(&d);
  click(ok);
  ASSERT_TRUE(pump_until([&] { return a.reasons.size() == 2 && !d.is_shown(); }));
  EXPECT_EQ(a.reasons, (std::vector<int>{XmCR_CANCEL, XmCR_OK}));
}

TEST_F(DialogTest, FileDialogKeepsTheLastChosenName)
{
  WDialogFile f(shell()->xtwgt);
  Answers a{{}, &f};
  f.set_cp(answer, &a);
  EXPECT_EQ(f.get_filename(), nullptr);
  const char* last = nullptr;
  for (const char* name : {"/tmp/one.rgb", "/tmp/two.rgb", static_cast<const char*>(nullptr)}) {
    show(&f);
    if (name)
      XmTextSetString(XmFileSelectionBoxGetChild(f.xtwgt, XmDIALOG_TEXT), const_cast<char*>(name));
    click(XmFileSelectionBoxGetChild(f.xtwgt, name ? XmDIALOG_OK_BUTTON : XmDIALOG_CANCEL_BUTTON));
    ASSERT_TRUE(pump_until([&] { return !f.is_shown(); }));
    last = name ? name : last;  // Cancel keeps the last choice
    EXPECT_STREQ(f.get_filename(), last);
  }
  EXPECT_EQ(a.reasons, (std::vector<int>{XmCR_OK, XmCR_OK, XmCR_CANCEL}));
}

}  // namespace
