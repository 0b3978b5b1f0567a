// The application's own X resources (listenAddress, allowFrom...), read
// under the application's name and class like every other resource:
// app-defaults, xrdb, ~/.Xresources, XENVIRONMENT and -xrm.
#ifndef RESOURCES_H
#define RESOURCES_H

#include <X11/Intrinsic.h>

// The value of resource name (class cls) for the application shell, or
// nullptr when it is unset or empty.
const char* string_resource(Widget appshell, const char* name, const char* cls);

#endif
