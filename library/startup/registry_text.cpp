#include "startup/registry_text.h"

bool TakeRegistryText(RegistryTextBuffer& buffer, DWORD cbData, CString& strText)
{
    DWORD nChars = cbData / sizeof(wchar_t);
    if (nChars > kRegistryTextChars)
        nChars = kRegistryTextChars;
    buffer.sz[nChars] = L'\0';
    DWORD nLength = 0;
    while (buffer.sz[nLength] != L'\0')
        ++nLength;
    if (nLength >= kRegistryTextChars)
        return false;
    strText = buffer.sz;
    return true;
}

bool QueryRegistryText(HKEY hKey, LPCWSTR pszName, CString& strText, DWORD* pdwType)
{
    RegistryTextBuffer buffer;
    DWORD dwType = 0;
    DWORD cbData = kRegistryTextBytes;
    if (RegQueryValueExW(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(buffer.sz), &cbData) != ERROR_SUCCESS)
        return false;
    if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
        return false;
    if (!TakeRegistryText(buffer, cbData, strText))
        return false;
    if (pdwType)
        *pdwType = dwType;
    return true;
}
