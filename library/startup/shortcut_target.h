// The file a shortcut points at.
#pragma once
#include "framework/cstring.h"

// Loads the shortcut file pszShortcutPath through the shell link object and returns its
// target path; empty when COM cannot be initialised, the file does not load or the
// target is not a file-system path. Leaves the calling thread initialised for COM.
CString ResolveShortcutTarget(LPCWSTR pszShortcutPath);
