// The application's menu: the File menu's Save Picture... and Quit, Quit
// reached also through its accelerator and the window manager's close
// button.
#include "menu.h"

#include <cstdlib>

#include <Xm/PushB.h>

#include "imagewnd.h"
#include "savepicture.h"
#include "service.h"

const WMenuItem file_pdm[] = {
    {"Save Picture...", &xmPushButtonWidgetClass, 0, "Meta<Key>s:", "Meta+S", FILE_SAVE, nullptr},
    {"Quit", &xmPushButtonWidgetClass, 0, "Meta<Key>q:", "Meta+Q", FILE_QUIT, nullptr},
    {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

// An id carries the menu number in its upper and the item in its lower
// 16 bits; the File menu is menu 0.
void Menu::menu_select(long id)
{
  if (static_cast<short>(id >> 16) == 0)
    do_file_pdm(static_cast<short>(id & 0xffff));
}

void Menu::do_file_pdm(short item)
{
  if (item == FILE_SAVE && imagewnd) {
    imagewnd->saver->choose();
  } else if (item == FILE_QUIT) {
    cleanup();
    exit(0);
  }
}
