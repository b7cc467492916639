#include "startup/system_folder.h"

#include <windows.h>

#include <cwchar>

#include "startup/environment.h"

CNativeSystemFolder::CNativeSystemFolder()
{
    if (!IsWow64())
        return;
    wchar_t szSystem[MAX_PATH] = {};
    const UINT nLength = GetSystemDirectoryW(szSystem, MAX_PATH);
    const CString strSystem(szSystem);
    const int nSlash = strSystem.ReverseFind(L'\\');
    if (nLength == 0 || nLength >= MAX_PATH || nSlash < 0)
        return;
    m_strSystem = strSystem + L"\\";
    m_strNative = strSystem.Left(nSlash) + L"\\Sysnative\\";
}

CString CNativeSystemFolder::ReadablePath(const CString& strPath) const
{
    const int nPrefix = m_strSystem.GetLength();
    if (nPrefix == 0 || strPath.GetLength() <= nPrefix || _wcsnicmp(strPath, m_strSystem, nPrefix) != 0)
        return strPath;
    const CString strNative = m_strNative + strPath.Mid(nPrefix);
    return GetFileAttributesW(strNative) != INVALID_FILE_ATTRIBUTES ? strNative : strPath;
}
