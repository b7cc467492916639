// The product's per-user data folders, %APPDATA%\Tessary\<subfolder>: the library keeps its
// result file in "KELDA", the programs their flag files in "Brimwell".
#pragma once
#include <windows.h>

#include <cstddef>

namespace win32 {

// Writes %APPDATA%\Tessary\<pszSubfolder>\<pszName> into pszPath, creating both folder
// levels when missing (an existing folder is fine). Answers false, with pszPath empty, when
// the application-data folder cannot be resolved or the path does not fit cchPath.
bool GetProductDataFilePath(const wchar_t* pszSubfolder, const wchar_t* pszName, wchar_t* pszPath, size_t cchPath);

}  // namespace win32
