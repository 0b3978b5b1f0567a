// The application's menu: File's Save Picture..., Save Data..., Record
// Stream... and Quit, View's zoom and pause.
#ifndef MENU_H
#define MENU_H

#include "WMenu.h"

extern const WMenuItem file_pdm[];
extern const WMenuItem view_pdm[];

// Ids of the File menu's items (menu 0): their places in it.
enum { FILE_SAVE = 0, FILE_SAVE_DATA = 1, FILE_RECORD = 2, FILE_QUIT = 3 };

// What the menus' items act on: the window that installs them.
class MenuTarget {
public:
  virtual ~MenuTarget() = default;
  virtual void choose_save() = 0;
  virtual void choose_save_data() = 0;
  virtual void choose_record() = 0;
  virtual int zoom_shift() const = 0;
  virtual int zoom_to(int shift) = 0;
  virtual int fit_zoom() const = 0;
  virtual void quit() = 0;
  virtual void toggle_pause() = 0;
};

class Menu : public WMenu {
public:
  Menu(Widget par, MenuTarget* t) : WMenu(par), target(t) {}
  void menu_select(long id) override;
  void do_file_pdm(short item);
  void do_view_pdm(short item);

private:
  MenuTarget* target;
};

#endif
