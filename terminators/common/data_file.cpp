#include "common/data_file.h"

#include <shlobj.h>

const wchar_t kDataSection[] = L"Tessary Optimizer";

CString GetDataFilePath(LPCWSTR pszName)
{
    try {
        wchar_t szFolder[MAX_PATH] = {};
        // Only a plain S_OK names a usable folder: S_FALSE ("folder does not exist")
        // would leave the buffer without a path.
        if (SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szFolder) != S_OK)
            return CString();
        CString strPath(szFolder);
        strPath += L"\\Tessary";
        CreateDirectoryW(strPath, nullptr);  // fails harmlessly when it exists
        strPath += L"\\Brimwell";
        CreateDirectoryW(strPath, nullptr);
        strPath += L"\\";
        strPath += pszName;
        return strPath;
    } catch (...) {
        return CString();
    }
}

CString ReadDataValue(const CString& strFile, LPCWSTR pszKey)
{
    if (strFile.IsEmpty())
        return CString();
    wchar_t szValue[2000] = {};
    GetPrivateProfileStringW(kDataSection, pszKey, L"", szValue, ARRAYSIZE(szValue), strFile);
    return CString(szValue);
}
