#include "common/name_match.h"

namespace {
wchar_t FoldAscii(wchar_t ch) { return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch; }

// Compares at most nCount characters (nCount < 0: without limit).
bool EqualUpTo(const wchar_t* pszA, const wchar_t* pszB, int nCount)
{
    for (int i = 0; nCount < 0 || i < nCount; ++i) {
        if (FoldAscii(pszA[i]) != FoldAscii(pszB[i]))
            return false;
        if (pszA[i] == L'\0')
            return true;
    }
    return true;
}
}  // namespace

bool NamesEqualAsciiNoCase(const wchar_t* pszA, const wchar_t* pszB) { return EqualUpTo(pszA, pszB, -1); }

bool LeadingPartEqualsAsciiNoCase(const wchar_t* pszName, const wchar_t* pszPrefix, int nCount)
{
    return EqualUpTo(pszName, pszPrefix, nCount);
}
