// Menus chosen with the pointer and the keyboard.
#include "test_menu_fixture.h"

#include <X11/Xatom.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>
#include <Xm/ToggleB.h>

namespace {

const long OPEN = 0x00010001, GRID = 0x00010002, TWIN = 0x00010003, EXIT = 0x00010004;
const long DEEP = 0x00020001;
#define ENTRY(n, c, a, t, id)   \
  {                             \
    n, &c, 0, a, t, id, nullptr \
  }
#define END                                           \
  {                                                   \
    nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr \
  }

const WMenuItem deep_tbl[] = {ENTRY("Deep", xmPushButtonWidgetClass, nullptr, nullptr, DEEP), END};
const WMenuItem help_tbl[] = {{"More", nullptr, 'M', nullptr, nullptr, 0, deep_tbl}, END};
const WMenuItem empty_tbl[] = {END};
const WMenuItem file_tbl[] = {ENTRY("Open", xmPushButtonWidgetClass, nullptr, nullptr, OPEN),
                              ENTRY("Grid", xmToggleButtonWidgetClass, nullptr, nullptr, GRID),
                              ENTRY("Line", xmSeparatorWidgetClass, nullptr, nullptr, 77),
                              ENTRY("Twin1", xmPushButtonWidgetClass, nullptr, nullptr, TWIN),
                              ENTRY("Twin2", xmPushButtonWidgetClass, nullptr, nullptr, TWIN),
                              ENTRY("Quit", xmPushButtonWidgetClass, "Meta<Key>q:", "Meta+Q", 0),
                              ENTRY("Exit", xmPushButtonWidgetClass, "Meta<Key>x", "Meta+X", EXIT),
                              END};

class MenuTest : public UserFixture {
protected:
  void build(MenuWnd* w)
  {
    wnd = w;
    m = w->menu;
    file = m->add_menu("File", 'F', file_tbl, 0, nullptr);
    m->add_menu("Edit", 0, empty_tbl, 0, nullptr);
    help = m->add_menu("Help", 0, help_tbl, 1, nullptr);
    show(wnd);
  }
  void TearDown() override { delete wnd; }
  MenuWnd* wnd = nullptr;
  TestMenu* m = nullptr;
  Widget file = nullptr, help = nullptr;
};

TEST_F(MenuTest, PointerChoosesEachEntryOnceAndLookupsTakeTheFirst)
{
  build(new MenuWnd());
  Widget hw = nullptr;
  XtVaGetValues(m->menubar, XmNmenuHelpWidget, &hw, nullptr);
  EXPECT_EQ(hw, help);  // not the More sub-menu inside it
  std::vector<bool> grid;
  for (const char* e : {"Open", "Grid", "Grid", "Twin2", "Twin1"}) {
    choose(file, e);
    ASSERT_TRUE(calls_reach(m, grid.size() + 1));
    grid.push_back(m->is_checked(GRID));
  }
  EXPECT_EQ(grid, (std::vector<bool>{false, true, false, false, false}));
  choose(help, "More");  // posts the sub-menu
  Widget more = entry(help, "More");
  ASSERT_TRUE(pump_until([&] { return is_viewable(XtWindow(XtParent(pulldown(more)))); }));
  click(entry(more, "Deep"));
  ASSERT_TRUE(calls_reach(m, 6));
  EXPECT_EQ(m->calls, (std::vector<long>{OPEN, GRID, GRID, TWIN, TWIN, DEEP}));
  m->enable(TWIN, 0);
  EXPECT_FALSE(XtIsSensitive(entry(file, "Twin1")));
  EXPECT_TRUE(XtIsSensitive(entry(file, "Twin2")));
  EXPECT_EQ(m->is_enabled(TWIN), 0);
  m->check(GRID, 1);
  EXPECT_EQ(m->is_checked(GRID), 1);
  EXPECT_EQ(m->is_checked(OPEN), 0);  // a push button has no state
  m->enable(999, 0);
  m->check(999, 1);
  EXPECT_EQ(m->is_enabled(999) + m->is_checked(999), 0);
  EXPECT_EQ(m->calls.size(), 6u);  // state set from code chooses nothing
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(MenuTest, AcceleratorsFireWithOrWithoutTrailingColon)
{
  build(new MenuWnd());
  click(wnd->work);
  xdo("windowfocus --sync " + std::to_string(wnd->xwindow()) + " key alt+q key alt+x");
  ASSERT_TRUE(calls_reach(m, 2));
  EXPECT_EQ(m->calls, (std::vector<long>{0, EXIT}));
}

class MenuTest8 : public MenuTest {
protected:
  int screen_number() const override { return 1; }
};

// Quit from the File menu of a window on the depth-8 screen's standard
// colour map. On depth 24, ravlon's own window on the best map does the
// same in the app tests (Quit.FileMenuQuitAndTheCloseButton).
TEST_F(MenuTest8, PulldownOnDefaultMapRaisesNoError)
{
  XVisualInfo vi;
  XStandardColormap* maps = standard_map(display, screen, XA_RGB_DEFAULT_MAP, &vi);
  ASSERT_NE(maps, nullptr);
  build(new MenuWnd(maps[0].colormap, vi.visual, vi.depth));
  XFree(maps);
  choose(file, "Quit");
  ASSERT_TRUE(calls_reach(m, 1));
  EXPECT_EQ(m->calls, std::vector<long>{0});
  EXPECT_EQ(x_errors(), 0);
}

}  // namespace
