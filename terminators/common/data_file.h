// The programs' INI data files in the per-user folder "\Tessary\Brimwell".
#pragma once
#include "framework/cstring.h"

// Section of every key the programs read or write in their data files.
extern const wchar_t kDataSection[];

// Full path of a data file, creating the two data folders on the way; empty when the
// per-user application-data folder cannot be resolved.
CString GetDataFilePath(LPCWSTR pszName);

// One value of a data file (buffer of 2000 characters, empty default); empty for an
// empty path.
CString ReadDataValue(const CString& strFile, LPCWSTR pszKey);
