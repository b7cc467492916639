// Texts of an executable's version resource.
#pragma once
#include "framework/cstring.h"

// The field pszField ("FileDescription" or "CompanyName") of the version resource of
// strPath, under its first translation or else under 040904e4. When it is missing or
// empty: the file name without folder and extension for "FileDescription", the
// language text "IDS_UNKNOWN" for "CompanyName", and "" for any other field.
CString GetVersionString(const CString& strPath, LPCWSTR pszField);
