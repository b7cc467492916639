#include "network/wlan_api.h"

#include <cstring>
#include <cwchar>

#include "win32/proc_address.h"

using win32::ResolveProc;

namespace {
// The system's own copy only. Loaded by its bare name, the search would try the host
// program's folder and the current folder first, where a planted Wlanapi.dll would run
// inside the host, which often runs elevated. With its full path, and the altered search
// path, the DLLs it needs come from the system folder too. (A 32-bit process on 64-bit
// Windows reads the system folder as SysWOW64: the 32-bit copy it can load.)
HMODULE LoadFromSystemFolder(LPCWSTR pszName)
{
    wchar_t szPath[MAX_PATH];
    const UINT nLength = GetSystemDirectoryW(szPath, MAX_PATH);
    const size_t nName = wcslen(pszName);
    if (nLength == 0 || nLength + 1 + nName >= MAX_PATH)
        return nullptr;
    szPath[nLength] = L'\\';
    memcpy(szPath + nLength + 1, pszName, (nName + 1) * sizeof(wchar_t));
    return LoadLibraryExW(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
}  // namespace

bool WlanApi::Load()
{
    m_module.reset(LoadFromSystemFolder(L"wlanapi.dll"));
    if (!m_module)
        return false;
    HMODULE h = m_module.get();
    if (!ResolveProc(h, "WlanOpenHandle", OpenHandle) || !ResolveProc(h, "WlanEnumInterfaces", EnumInterfaces) ||
        !ResolveProc(h, "WlanGetAvailableNetworkList", GetAvailableNetworkList) || !ResolveProc(h, "WlanQueryInterface", QueryInterface)) {
        m_module.reset();
        return false;
    }
    ResolveProc(h, "WlanCloseHandle", CloseHandle);
    ResolveProc(h, "WlanFreeMemory", FreeMemory);
    return true;
}

WlanClient::~WlanClient()
{
    if (m_hClient && m_api.CloseHandle)
        m_api.CloseHandle(m_hClient, nullptr);
}

bool WlanClient::Open(DWORD dwClientVersion)
{
    DWORD dwNegotiatedVersion = 0;
    HANDLE hClient = nullptr;
    if (m_api.OpenHandle(dwClientVersion, nullptr, &dwNegotiatedVersion, &hClient) != ERROR_SUCCESS)
        return false;
    m_hClient = hClient;
    return true;
}
