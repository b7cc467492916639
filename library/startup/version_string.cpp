#include "startup/version_string.h"

#include <windows.h>

#include <cwchar>

#include "frame/module_objects.h"
#include "frame/profile.h"
#include "win32/raii.h"

namespace {
// "C:\Tools\agent.exe" gives "agent".
CString FileNameWithoutExtension(const CString& strPath)
{
    int nStart = 0;
    for (int i = 0; i < strPath.GetLength(); ++i)
        if (strPath[i] == L'\\' || strPath[i] == L'/' || (i == 1 && strPath[i] == L':'))
            nStart = i + 1;
    CString strName = strPath.Mid(nStart);
    int nDot = strName.ReverseFind(L'.');
    return nDot < 0 ? strName : strName.Left(nDot);
}

CString Fallback(const CString& strPath, LPCWSTR pszField)
{
    if (wcscmp(pszField, L"FileDescription") == 0)
        return FileNameWithoutExtension(strPath);
    if (wcscmp(pszField, L"CompanyName") == 0)
        return ReadProfileText(g_strLanguageFile, L"Tessary StartUp Manager", L"IDS_UNKNOWN", theApp.m_szStartupText,
                               kStartupTextLength);
    return CString();
}

// The string at pszQuery, bounded by the length the block reports; false when absent.
bool QueryText(const void* pBlock, LPCWSTR pszQuery, CString& strText)
{
    void* pValue = nullptr;
    UINT nChars = 0;
    if (!VerQueryValueW(pBlock, pszQuery, &pValue, &nChars) || !pValue)
        return false;
    const wchar_t* psz = static_cast<const wchar_t*>(pValue);
    UINT nLength = 0;
    while (nLength < nChars && psz[nLength] != L'\0')
        ++nLength;
    strText = CString(psz, static_cast<int>(nLength));
    return true;
}

CString FieldText(const CString& strPath, LPCWSTR pszField)
{
    DWORD dwIgnored = 0;
    DWORD cbInfo = GetFileVersionInfoSizeW(strPath, &dwIgnored);
    if (cbInfo == 0)
        return CString();
    win32::UniqueHeapBlock info(HeapAlloc(GetProcessHeap(), 0, cbInfo));
    if (!info || !GetFileVersionInfoW(strPath, 0, cbInfo, info.get()))
        return CString();
    void* pTranslation = nullptr;
    UINT cbTranslation = 0;
    if (!VerQueryValueW(info.get(), L"\\VarFileInfo\\Translation", &pTranslation, &cbTranslation) || !pTranslation ||
        cbTranslation < 2 * sizeof(WORD))
        return CString();
    const WORD* pwPair = static_cast<const WORD*>(pTranslation);
    CString strQuery;
    strQuery.Format(L"\\StringFileInfo\\%04x%04x\\%s", pwPair[0], pwPair[1], pszField);
    CString strText;
    if (!QueryText(info.get(), strQuery, strText)) {
        strQuery.Format(L"\\StringFileInfo\\040904e4\\%s", pszField);
        QueryText(info.get(), strQuery, strText);
    }
    return strText;
}
}  // namespace

CString GetVersionString(const CString& strPath, LPCWSTR pszField)
{
    CString strText = strPath.IsEmpty() ? CString() : FieldText(strPath, pszField);
    // The fallback is looked up only when needed: the company text is an INI read.
    return strText.IsEmpty() ? Fallback(strPath, pszField) : strText;
}
