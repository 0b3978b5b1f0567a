// The application's own string resources.
#include "base/resources.h"

#include <X11/StringDefs.h>

const char* string_resource(Widget appshell, const char* name, const char* cls)
{
  String value = nullptr;
  XtResource r = {const_cast<char*>(name),
                  const_cast<char*>(cls),
                  XtRString,
                  sizeof(String),
                  0,
                  XtRString,
                  nullptr};
  XtGetApplicationResources(appshell, &value, &r, 1, nullptr, 0);
  return value && value[0] ? value : nullptr;
}
