#include "startup/command_path.h"

#include <windows.h>

#include <cwchar>

#include "startup/environment.h"

namespace {
constexpr DWORD kExpandedChars = 260;

CString WithoutLeadingQuotes(const CString& str)
{
    int nFirst = 0;
    while (nFirst < str.GetLength() && str[nFirst] == L'"')
        ++nFirst;
    return str.Mid(nFirst);
}

// Cuts after ".exe" when the text from the last "." starts with it (any case).
CString WithoutArguments(const CString& str)
{
    int nDot = str.ReverseFind(L'.');
    CString strTail = nDot < 0 ? str : str.Mid(nDot);
    if (strTail.GetLength() >= 4 && _wcsnicmp(strTail, L".exe", 4) == 0)
        return str.Left((nDot < 0 ? 0 : nDot) + 4);
    return str;
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
    CString str = WithoutLeadingQuotes(strCommand);
    int nQuote = str.ReverseFind(L'"');
    if (nQuote >= 0)
        str = str.Left(nQuote);
    str = WithoutArguments(str);
    if (!str.IsEmpty() && str[0] == L'%')
        str = Expanded(str);
    return str;
}
