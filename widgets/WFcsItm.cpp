// Focus items: report focus changes to the client's callback.
#include "WFcsItm.h"

#include <cstdint>

void WFcsItm::set_cp_changefocus(WFocusProc c, void* data)
{
  cp = c;
  usrdata = data;
}

// The flag travels in the pointer-sized third argument.
void WFcsItm::gain_focus(char f)
{
  if (cp)
    cp(xtwgt, usrdata, reinterpret_cast<void*>(static_cast<intptr_t>(f)));
}
