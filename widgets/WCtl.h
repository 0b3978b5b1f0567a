// A control with a text: the base of buttons, toggles and sliders.
#ifndef WCTL_H
#define WCTL_H

#include "WWidget.h"

class WCtl : public WWidget {
public:
  WCtl();
  explicit WCtl(const char* s);

  virtual void set_value(int v);
  virtual int get_value() const;

  void set_text(const char* s);
  const char* get_text() const;

  char ctltxt[512];
};

#endif
