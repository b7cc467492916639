#include "common/data_file.h"

#include "win32/data_folder.h"

const wchar_t kDataSection[] = L"Tessary Optimizer";

CString GetDataFilePath(LPCWSTR pszName)
{
    wchar_t szPath[2 * MAX_PATH];
    if (!win32::GetProductDataFilePath(L"Brimwell", pszName, szPath, ARRAYSIZE(szPath)))
        return CString();
    return CString(szPath);
}

CString ReadDataValue(const CString& strFile, LPCWSTR pszKey)
{
    if (strFile.IsEmpty())
        return CString();
    wchar_t szValue[2000] = {};
    GetPrivateProfileStringW(kDataSection, pszKey, L"", szValue, ARRAYSIZE(szValue), strFile);
    return CString(szValue);
}
