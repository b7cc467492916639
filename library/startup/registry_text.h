// String values of the startup keys, read without trusting their size or terminator.
#pragma once
#include <windows.h>

#include "framework/cstring.h"

// String data is read into 520 bytes: 259 characters and the terminator.
constexpr DWORD kRegistryTextBytes = 520;
constexpr DWORD kRegistryTextChars = kRegistryTextBytes / sizeof(wchar_t);

// Room for the data and one terminator of our own, which the data may lack.
struct RegistryTextBuffer {
    wchar_t sz[kRegistryTextChars + 1];
};

// Turns cbData bytes returned into buffer into text: stops at the first null, drops an
// odd trailing byte, and refuses text that fills all 260 characters with no terminator
// (a command longer than 259 characters).
bool TakeRegistryText(RegistryTextBuffer& buffer, DWORD cbData, CString& strText);

// Reads the string value pszName of hKey (REG_SZ or REG_EXPAND_SZ, unexpanded) into
// strText, and its type into *pdwType when asked; false when it is missing, of another
// type or longer than 520 bytes.
bool QueryRegistryText(HKEY hKey, LPCWSTR pszName, CString& strText, DWORD* pdwType = nullptr);
