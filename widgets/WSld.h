// A slider control.
#ifndef WSLD_H
#define WSLD_H

#include "WCtl.h"

class WSld : public WCtl {
public:
  WSld(Widget parent, const char* s, int lo, int hi);
};

#endif
