#include "startup/command_path.h"

#include <windows.h>

#include <cwchar>

#include "startup/environment.h"

namespace {
constexpr DWORD kExpandedChars = 260;

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
        strExpanded.Replace(L":\\Program Files (x86)\\", L":\\Program Files\\");
    return strExpanded;
}
}  // namespace

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
