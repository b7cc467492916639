// Name comparisons that fold only the letters A to Z, whatever the system's locale.
#pragma once
#include <windows.h>

// Whole-string equality ignoring the case of A-Z.
bool NamesEqualAsciiNoCase(const wchar_t* pszA, const wchar_t* pszB);
// Whether the first nCount characters of pszName (all of it when shorter) equal those of
// pszPrefix, ignoring the case of A-Z.
bool LeadingPartEqualsAsciiNoCase(const wchar_t* pszName, const wchar_t* pszPrefix, int nCount);
