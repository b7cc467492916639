// The per-user data folder %APPDATA%\Tessary\KELDA and the result file in it.
#pragma once
#include "framework/cstring.h"

// Section of every key in the result file.
constexpr const wchar_t* kResultSection = L"Tessary Optimizer";
constexpr const wchar_t* kResultFileName = L"xmlupd.dat";

// Full path of pszName in the data folder, creating both folder levels when missing;
// "" when the application-data folder cannot be resolved.
CString GetDataFilePath(LPCWSTR pszName);

// Writes one key of the result file, which is made as a UTF-16 file when missing. An
// empty path (no data folder) writes nothing, rather than a file named after the section
// in the Windows folder.
void WriteResultValue(const CString& strResultFile, LPCWSTR pszKey, LPCWSTR pszValue);
