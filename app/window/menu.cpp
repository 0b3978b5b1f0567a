// The application's menu: the File menu's Save Picture..., Save Data...,
// Record Stream... and Quit, Quit reached also through its accelerator and
// the window manager's close button; the View menu's zoom, pause and the
// way one-channel frames are shown.
#include "window/menu.h"

#include <Xm/PushB.h>
#include <Xm/ToggleB.h>

#include "render/colourtables.h"

namespace {

const WMenuItem file_pdm[] = {
    {"Save Picture...", &xmPushButtonWidgetClass, 0, "Meta<Key>s:", "Meta+S", FILE_SAVE, nullptr},
    {"Save Data...", &xmPushButtonWidgetClass, 0, "Meta<Key>d:", "Meta+D", FILE_SAVE_DATA, nullptr},
    {"Record Stream...", &xmToggleButtonWidgetClass, 0, "Meta<Key>r:", "Meta+R", FILE_RECORD,
     nullptr},
    {"Quit", &xmPushButtonWidgetClass, 0, "Meta<Key>q:", "Meta+Q", FILE_QUIT, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

// The cascades' items are numbered from a base of their own, in the order
// of the view request's codes.
enum {
  VIEW_ZOOM_IN = 0x10000,
  VIEW_ZOOM_OUT,
  VIEW_ACTUAL,
  VIEW_FIT,
  VIEW_PAUSE,
  VIEW_MAP = 0x10010,
  VIEW_INVERT = VIEW_MAP + COLOUR_MAPS,
  VIEW_SCALE = 0x10020,
  VIEW_RULE = 0x10030,
  VIEW_SET_LIMITS = VIEW_RULE + 4,
  VIEW_LOCK
};
const int SCALES = 4;

// The limits rules the menu offers, in its order.
struct Rule {
  int rule;
  double percent;
};
const Rule rules[] = {{RAVLON_LIMITS_MINMAX, 99.5},
                      {RAVLON_LIMITS_PERCENT, 99.5},
                      {RAVLON_LIMITS_PERCENT, 99},
                      {RAVLON_LIMITS_ZSCALE, 99.5}};
const int RULES = sizeof rules / sizeof rules[0];

bool is_rule(const ViewSettings& v, const Rule& r)
{
  return !v.fixed && v.rule == r.rule &&
         (r.rule != RAVLON_LIMITS_PERCENT || v.percent == r.percent);
}

WidgetClass* const toggle = &xmToggleButtonWidgetClass;

const WMenuItem map_pdm[] = {
    {"gray", toggle, 0, nullptr, nullptr, VIEW_MAP + RAVLON_MAP_GRAY, nullptr},
    {"viridis", toggle, 0, nullptr, nullptr, VIEW_MAP + RAVLON_MAP_VIRIDIS, nullptr},
    {"magma", toggle, 0, nullptr, nullptr, VIEW_MAP + RAVLON_MAP_MAGMA, nullptr},
    {"inferno", toggle, 0, nullptr, nullptr, VIEW_MAP + RAVLON_MAP_INFERNO, nullptr},
    {"turbo", toggle, 0, nullptr, nullptr, VIEW_MAP + RAVLON_MAP_TURBO, nullptr},
    {"coolwarm", toggle, 0, nullptr, nullptr, VIEW_MAP + RAVLON_MAP_COOLWARM, nullptr},
    {"Invert", toggle, 0, nullptr, nullptr, VIEW_INVERT, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

const WMenuItem scale_pdm[] = {
    {"linear", toggle, 0, nullptr, nullptr, VIEW_SCALE + RAVLON_SCALE_LINEAR, nullptr},
    {"sqrt", toggle, 0, nullptr, nullptr, VIEW_SCALE + RAVLON_SCALE_SQRT, nullptr},
    {"log", toggle, 0, nullptr, nullptr, VIEW_SCALE + RAVLON_SCALE_LOG, nullptr},
    {"asinh", toggle, 0, nullptr, nullptr, VIEW_SCALE + RAVLON_SCALE_ASINH, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

const WMenuItem limits_pdm[] = {
    {"min-max", toggle, 0, nullptr, nullptr, VIEW_RULE, nullptr},
    {"99.5 %", toggle, 0, nullptr, nullptr, VIEW_RULE + 1, nullptr},
    {"99 %", toggle, 0, nullptr, nullptr, VIEW_RULE + 2, nullptr},
    {"zscale", toggle, 0, nullptr, nullptr, VIEW_RULE + 3, nullptr},
    {"Set Limits...", &xmPushButtonWidgetClass, 0, nullptr, nullptr, VIEW_SET_LIMITS, nullptr},
    {"Lock Limits", toggle, 0, nullptr, nullptr, VIEW_LOCK, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

const WMenuItem view_pdm[] = {
    {"Zoom In", &xmPushButtonWidgetClass, 0, "Meta<Key>i:", "Meta+I", VIEW_ZOOM_IN, nullptr},
    {"Zoom Out", &xmPushButtonWidgetClass, 0, "Meta<Key>o:", "Meta+O", VIEW_ZOOM_OUT, nullptr},
    {"Actual Size", &xmPushButtonWidgetClass, 0, "Meta<Key>1:", "Meta+1", VIEW_ACTUAL, nullptr},
    {"Fit to Screen", &xmPushButtonWidgetClass, 0, "Meta<Key>f:", "Meta+F", VIEW_FIT, nullptr},
    {"Pause", &xmPushButtonWidgetClass, 0, nullptr, nullptr, VIEW_PAUSE, nullptr},
    {"Colour Map", nullptr, 0, nullptr, nullptr, 0, map_pdm},
    {"Scale", nullptr, 0, nullptr, nullptr, 0, scale_pdm},
    {"Limits", nullptr, 0, nullptr, nullptr, 0, limits_pdm},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

// The view with the choice of item id made; false for an item that is no
// such choice.
bool view_choice(long id, ViewSettings& v)
{
  if (id >= VIEW_MAP && id < VIEW_INVERT)
    v.map = static_cast<int>(id - VIEW_MAP);
  else if (id == VIEW_INVERT)
    v.invert = !v.invert;
  else if (id >= VIEW_SCALE && id < VIEW_SCALE + SCALES)
    v.scale = static_cast<int>(id - VIEW_SCALE);
  else if (id >= VIEW_RULE && id < VIEW_RULE + RULES) {
    v.rule = rules[id - VIEW_RULE].rule;
    v.percent = rules[id - VIEW_RULE].percent;
    v.fixed = 0;
  } else if (id == VIEW_LOCK)
    v.locked = !v.locked;
  else
    return false;
  return true;
}

// The one-of-many groups: their first ids and sizes.
struct Group {
  long first;
  int n;
};
const Group radios[] = {{VIEW_MAP, COLOUR_MAPS}, {VIEW_SCALE, SCALES}, {VIEW_RULE, RULES}};

// Item id of a group is v's present choice.
bool chosen(const ViewSettings& v, long id)
{
  if (id < VIEW_SCALE)
    return v.map == id - VIEW_MAP;
  if (id < VIEW_RULE)
    return v.scale == id - VIEW_SCALE;
  return is_rule(v, rules[id - VIEW_RULE]);
}

}  // namespace

// An id carries the menu number in its upper and the item in its lower
// 16 bits; the File menu is menu 0, View menu 1.
void Menu::menu_select(long id)
{
  const short menu = static_cast<short>(id >> 16), item = static_cast<short>(id & 0xffff);
  if (menu == 0)
    do_file_pdm(item);
  else if (menu == 1)
    do_view_pdm(item);
}

void Menu::do_view_pdm(short item)
{
  const long id = VIEW_ZOOM_IN + item;
  ViewSettings v = target->shown_view();
  if (item >= 0 && id <= VIEW_FIT) {
    const int z = target->zoom_shift();
    const int to[] = {z + 1, z - 1, 0, target->fit_zoom()};
    target->zoom_to(to[item]);
  } else if (id == VIEW_PAUSE) {
    target->toggle_pause();
  } else if (id == VIEW_SET_LIMITS) {
    target->choose_limits();
  } else if (view_choice(id, v)) {
    target->choose_view(v);
  }
}

void Menu::add_menus()
{
  add_menu("File", 0, file_pdm, 0, nullptr);
  add_menu("View", 0, view_pdm, 0, nullptr);
  for (const Group& g : radios)
    for (long id = g.first; id < g.first + g.n; id++)
      make_radio(id);
}

void Menu::show_view(const ViewSettings& v)
{
  for (const Group& g : radios)
    for (long id = g.first; id < g.first + g.n; id++)
      check(id, chosen(v, id));
  check(VIEW_INVERT, v.invert);
  check(VIEW_LOCK, v.locked);
}

void Menu::do_file_pdm(short item)
{
  if (item == FILE_SAVE)
    target->choose_save();
  else if (item == FILE_SAVE_DATA)
    target->choose_save_data();
  else if (item == FILE_RECORD)
    target->choose_record();
  else if (item == FILE_QUIT)
    target->quit();
}
