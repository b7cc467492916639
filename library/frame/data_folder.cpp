#include "frame/data_folder.h"

#include "win32/data_folder.h"

CString GetDataFilePath(LPCWSTR pszName)
{
    wchar_t szPath[2 * MAX_PATH];
    if (!win32::GetProductDataFilePath(L"KELDA", pszName, szPath, ARRAYSIZE(szPath)))
        return CString();
    return CString(szPath);
}

void WriteResultValue(const CString& strResultFile, LPCWSTR pszKey, LPCWSTR pszValue)
{
    if (strResultFile.IsEmpty())
        return;
    WritePrivateProfileStringW(kResultSection, pszKey, pszValue, strResultFile);
}
