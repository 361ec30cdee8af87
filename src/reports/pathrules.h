// Path handling of the file choice; window-free.
#pragma once
#include <stddef.h>

const int pathbuf = 260;  // MAX_PATH

// Splits a full path at its last separator ('\\' or '/'): name gets what follows it,
// dir what precedes it, separator included. A path ending in a separator gives an
// empty name and the whole path as dir. Both buffers hold pathbuf characters.
void splitpath(const char* full, char* name, char* dir);

// True when the last component of path has no extension (no '.').
bool lacksextension(const char* path);
// Appends "." and ext when that fits in pathbuf characters; false when it does not.
bool appendextension(char* path, const char* ext);
