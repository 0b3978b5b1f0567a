// The application's menu: File's Save Picture..., Save Data..., Record
// Stream... and Quit; View's zoom, pause and how one-channel frames are
// shown.
#ifndef MENU_H
#define MENU_H

#include "WMenu.h"
#include "render/view.h"

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
  // How one-channel frames are shown now, and the user's new choice,
  // shown at once.
  virtual const ViewSettings& shown_view() const = 0;
  virtual void choose_view(const ViewSettings& v) = 0;
  // Asks for two limits of the user's own.
  virtual void choose_limits() = 0;
};

class Menu : public WMenu {
public:
  Menu(Widget par, MenuTarget* t) : WMenu(par), target(t) {}
  // The File and View menus in the menu bar.
  void add_menus();
  void menu_select(long id) override;
  void do_file_pdm(short item);
  void do_view_pdm(short item);
  // The View menu's marks: the map, scale and limits rule of v, its
  // invert and lock.
  void show_view(const ViewSettings& v);

private:
  MenuTarget* target;
};

#endif
