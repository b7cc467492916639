// Texts of an executable's version resource.
#pragma once
#include "framework/cstring.h"
#include "win32/raii.h"

// The version resource of one file, read once for all the fields asked of it.
class CVersionInfo {
public:
    explicit CVersionInfo(const CString& strPath);
    CVersionInfo(const CVersionInfo&) = delete;
    CVersionInfo& operator=(const CVersionInfo&) = delete;

    const CString& Path() const { return m_strPath; }
    // The field under the first translation, or else under 040904e4; empty when the
    // file has no version resource, no translation or no such field.
    CString FieldText(LPCWSTR pszField) const;

private:
    CString m_strPath;
    win32::UniqueHeapBlock m_block;
};

// The field pszField ("FileDescription" or "CompanyName") of the version resource of
// strPath. When it is missing or empty: the file name without folder and extension for
// "FileDescription", the language text "IDS_UNKNOWN" for "CompanyName", and "" for any
// other field.
CString GetVersionString(const CString& strPath, LPCWSTR pszField);
// The same for a resource already read.
CString GetVersionString(const CVersionInfo& info, LPCWSTR pszField);
