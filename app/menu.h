// The application's menu: File's Save Picture... and Quit, View's zoom.
#ifndef MENU_H
#define MENU_H

#include "WMenu.h"

extern const WMenuItem file_pdm[];
extern const WMenuItem view_pdm[];

// Ids of the File menu's items (menu 0): their places in it.
enum { FILE_SAVE = 0, FILE_QUIT = 1 };

class Menu : public WMenu {
public:
  explicit Menu(Widget par) : WMenu(par) {}
  void menu_select(long id) override;
  void do_file_pdm(short item);
  void do_view_pdm(short item);
};

#endif
