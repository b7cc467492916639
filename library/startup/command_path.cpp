#include "startup/command_path.h"

#include <windows.h>

#include <cwchar>

#include "startup/environment.h"

namespace {
constexpr DWORD kExpandedChars = 260;
constexpr const wchar_t* kProgramFilesX86 = L":\\Program Files (x86)\\";
constexpr const wchar_t* kProgramFiles = L":\\Program Files\\";

// Cuts after ".exe" when the text from the last "." starts with it (any case). Looks at
// the tail in place: most commands are already a bare path.
void CutArguments(CString& str)
{
    int nDot = str.ReverseFind(L'.');
    int nTail = nDot < 0 ? 0 : nDot;
    if (str.GetLength() - nTail >= 4 && _wcsnicmp(str.GetString() + nTail, L".exe", 4) == 0)
        str = str.Left(nTail + 4);
}

CString Expanded(const CString& str)
{
    wchar_t szExpanded[kExpandedChars] = {};
    DWORD nNeeded = ExpandEnvironmentStringsW(str, szExpanded, kExpandedChars);
    if (nNeeded == 0 || nNeeded > kExpandedChars)
        return str;  // does not fit: keep the command as written
    szExpanded[kExpandedChars - 1] = L'\0';
    CString strExpanded(szExpanded);
    if (IsWow64() && str.Find(L"(x86)%") < 0)
        strExpanded.Replace(kProgramFilesX86, kProgramFiles);
    return strExpanded;
}

bool FileExists(const CString& strPath) { return GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

CString ShortcutProgramPath(const CString& strTarget)
{
    const int nPrefix = static_cast<int>(wcslen(kProgramFilesX86));
    if (strTarget.GetLength() <= 1 + nPrefix || _wcsnicmp(strTarget.GetString() + 1, kProgramFilesX86, nPrefix) != 0 ||
        !IsWow64())
        return strTarget;
    const CString strNative = strTarget.Left(1) + kProgramFiles + strTarget.Mid(1 + nPrefix);
    return !FileExists(strTarget) && FileExists(strNative) ? strNative : strTarget;
}

CString NormalizeCommandPath(const CString& strCommand)
{
    int nFirst = 0;  // leading double quotes are dropped
    while (nFirst < strCommand.GetLength() && strCommand[nFirst] == L'"')
        ++nFirst;
    CString str = strCommand.Mid(nFirst);
    int nQuote = str.ReverseFind(L'"');
    if (nQuote >= 0)
        str = str.Left(nQuote);
    CutArguments(str);
    if (!str.IsEmpty() && str[0] == L'%')
        str = Expanded(str);
    return str;
}
