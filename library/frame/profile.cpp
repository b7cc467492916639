#include "frame/profile.h"

#include "frame/module_objects.h"

LPCWSTR ReadProfileText(LPCWSTR pszFile, LPCWSTR pszSection, LPCWSTR pszKey, wchar_t* pszBuffer, DWORD nCount)
{
    pszBuffer[0] = L'\0';
    GetPrivateProfileStringW(pszSection, pszKey, L"", pszBuffer, nCount, pszFile);
    pszBuffer[nCount - 1] = L'\0';
    return pszBuffer;
}

LPCWSTR LanguageText(LPCWSTR pszSection, LPCWSTR pszKey)
{
    return ReadProfileText(g_strLanguageFile, pszSection, pszKey, theApp.m_szValue, kValueLength);
}

LPCWSTR LanguageShortText(LPCWSTR pszSection, LPCWSTR pszKey)
{
    return ReadProfileText(g_strLanguageFile, pszSection, pszKey, theApp.m_szShortValue, kShortValueLimit);
}

LPCWSTR SettingText(LPCWSTR pszSection, LPCWSTR pszKey)
{
    return ReadProfileText(g_strSettingsFile, pszSection, pszKey, theApp.m_szValue, kValueLength);
}

LPCWSTR SettingShortText(LPCWSTR pszSection, LPCWSTR pszKey)
{
    return ReadProfileText(g_strSettingsFile, pszSection, pszKey, theApp.m_szShortValue, kShortValueLimit);
}
