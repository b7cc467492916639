#include "frame/data_folder.h"

#include <shlobj.h>

CString GetDataFilePath(LPCWSTR pszName)
{
    CString strPath;
    try {
        wchar_t szFolder[MAX_PATH] = {};
        HRESULT hr = SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szFolder);
        if (FAILED(hr))
            return strPath;
        strPath = szFolder;
        strPath += L"\\Tessary";
        CreateDirectoryW(strPath, nullptr);  // fails harmlessly when it exists
        strPath += L"\\KELDA";
        CreateDirectoryW(strPath, nullptr);
        strPath += L"\\";
        strPath += pszName;
    } catch (...) {
    }
    return strPath;
}

void WriteResultValue(const CString& strResultFile, LPCWSTR pszKey, LPCWSTR pszValue)
{
    if (strResultFile.IsEmpty())
        return;
    WritePrivateProfileStringW(kResultSection, pszKey, pszValue, strResultFile);
}
