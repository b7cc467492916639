#include "network/wlan_api.h"

namespace {
template <class F>
bool Resolve(HMODULE hModule, const char* pszName, F& pfn)
{
    pfn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
    return pfn != nullptr;
}
}  // namespace

bool WlanApi::Load()
{
    m_module.reset(LoadLibraryW(L"Wlanapi.dll"));
    if (!m_module)
        return false;
    HMODULE h = m_module.get();
    if (!Resolve(h, "WlanOpenHandle", OpenHandle) || !Resolve(h, "WlanEnumInterfaces", EnumInterfaces) ||
        !Resolve(h, "WlanGetAvailableNetworkList", GetAvailableNetworkList) || !Resolve(h, "WlanQueryInterface", QueryInterface)) {
        m_module.reset();
        return false;
    }
    Resolve(h, "WlanCloseHandle", CloseHandle);
    Resolve(h, "WlanFreeMemory", FreeMemory);
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
