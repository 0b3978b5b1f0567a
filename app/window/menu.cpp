// The application's menu: the File menu's Save Picture..., Save Data...,
// Record Stream... and Quit, Quit reached also through its accelerator and
// the window manager's close button.
#include "window/menu.h"

#include <Xm/PushB.h>
#include <Xm/ToggleB.h>

const WMenuItem file_pdm[] = {
    {"Save Picture...", &xmPushButtonWidgetClass, 0, "Meta<Key>s:", "Meta+S", FILE_SAVE, nullptr},
    {"Save Data...", &xmPushButtonWidgetClass, 0, "Meta<Key>d:", "Meta+D", FILE_SAVE_DATA, nullptr},
    {"Record Stream...", &xmToggleButtonWidgetClass, 0, "Meta<Key>r:", "Meta+R", FILE_RECORD,
     nullptr},
    {"Quit", &xmPushButtonWidgetClass, 0, "Meta<Key>q:", "Meta+Q", FILE_QUIT, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

enum { VIEW_ZOOM_IN = 0x10000, VIEW_ZOOM_OUT, VIEW_ACTUAL, VIEW_FIT, VIEW_PAUSE };

const WMenuItem view_pdm[] = {
    {"Zoom In", &xmPushButtonWidgetClass, 0, "Meta<Key>i:", "Meta+I", VIEW_ZOOM_IN, nullptr},
    {"Zoom Out", &xmPushButtonWidgetClass, 0, "Meta<Key>o:", "Meta+O", VIEW_ZOOM_OUT, nullptr},
    {"Actual Size", &xmPushButtonWidgetClass, 0, "Meta<Key>1:", "Meta+1", VIEW_ACTUAL, nullptr},
    {"Fit to Screen", &xmPushButtonWidgetClass, 0, "Meta<Key>f:", "Meta+F", VIEW_FIT, nullptr},
    {"Pause", &xmPushButtonWidgetClass, 0, nullptr, nullptr, VIEW_PAUSE, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

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
  const int z = target->zoom_shift();
  const int to[] = {z + 1, z - 1, 0, target->fit_zoom()};
  if (item >= 0 && item < 4)
    target->zoom_to(to[item]);
  else if (item == (VIEW_PAUSE & 0xffff))
    target->toggle_pause();
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
