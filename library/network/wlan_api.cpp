#include "network/wlan_api.h"

#include "win32/proc_address.h"

using win32::ResolveProc;

bool WlanApi::Load()
{
    m_module.reset(LoadLibraryW(L"Wlanapi.dll"));
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
