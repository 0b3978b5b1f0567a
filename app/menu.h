// The application's menu: Quit is its only action.
#ifndef MENU_H
#define MENU_H

#include "WMenu.h"

extern const WMenuItem file_pdm[];

class Menu : public WMenu {
public:
  explicit Menu(Widget par) : WMenu(par) {}
  void menu_select(long id) override;
  void do_file_pdm(short item);
};

#endif
