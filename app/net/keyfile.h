// The key file: the X resource ravlon.keyFile (class Ravlon.KeyFile)
// names it; unset, ravlon asks clients for no key.
#ifndef KEYFILE_H
#define KEYFILE_H

#include <cstddef>

#include <X11/Intrinsic.h>

#include "net/protocol.h"

// The resource's value for the application shell, or nullptr when unset.
const char* key_file_resource(Widget appshell);

// The key the file at path holds (its first RAVLON_KEY_BYTES bytes), or,
// when there is no such file, a new random key written there, readable by
// this user alone. -1 with the message in msg.
int load_key(const char* path, unsigned char key[RAVLON_KEY_BYTES], char* msg, size_t len);

#endif
