// Opening a startup key for reading its values or subkeys.
#pragma once
#include <windows.h>

#include "win32/raii.h"

// Opens pszPath under hRoot with full access (creating it when missing) and reads how
// many values and subkeys it holds; false, with key closed, when either step fails.
bool CreateCountedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samAccess, win32::UniqueKey& key, DWORD& nValues,
                      DWORD& nSubkeys);
