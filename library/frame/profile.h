// Lookups in the settings file and the current language file. Values land in the
// application object's shared buffers; copy them before the next lookup.
#pragma once
#include "framework/cstring.h"

// Reads section/key of an INI file into buffer (nCount characters with the terminator,
// so at most nCount - 1 characters); a missing file, section or key reads as "".
LPCWSTR ReadProfileText(LPCWSTR pszFile, LPCWSTR pszSection, LPCWSTR pszKey, wchar_t* pszBuffer, DWORD nCount);

// Language file, into m_szValue (at most 499 characters).
LPCWSTR LanguageText(LPCWSTR pszSection, LPCWSTR pszKey);
// Language file, into m_szShortValue with the limit of 100 (at most 99 characters).
LPCWSTR LanguageShortText(LPCWSTR pszSection, LPCWSTR pszKey);
// Settings file, into m_szValue.
LPCWSTR SettingText(LPCWSTR pszSection, LPCWSTR pszKey);
// Settings file, into m_szShortValue with the limit of 100.
LPCWSTR SettingShortText(LPCWSTR pszSection, LPCWSTR pszKey);
