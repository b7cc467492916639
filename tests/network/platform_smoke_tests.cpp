// LanCableInfo against the real IP Helper and Wlanapi.dll of the platform, unpatched:
// the call completes and writes what the platform reports.
#include <iphlpapi.h>
#include <wlanapi.h>

#include <vector>

#include "report_fixture.h"
#include "testing/library_host.h"

namespace network_tests {
namespace {

// The platform's adapter list as the test reads it itself.
std::vector<BYTE> AdapterList()
{
    ULONG cbLength = 0;
    std::vector<BYTE> buffer;
    if (GetAdaptersInfo(nullptr, &cbLength) != ERROR_BUFFER_OVERFLOW)
        return buffer;
    buffer.resize(cbLength);
    if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &cbLength) != ERROR_SUCCESS)
        buffer.clear();
    return buffer;
}

bool HasIpv4Address(DWORD dwIndex)
{
    ULONG cbLength = 0;
    GetIpAddrTable(nullptr, &cbLength, FALSE);
    std::vector<BYTE> buffer(cbLength ? cbLength : 1);
    auto* pTable = reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data());
    if (GetIpAddrTable(pTable, &cbLength, FALSE) != NO_ERROR)
        return false;
    for (DWORD i = 0; i < pTable->dwNumEntries; ++i) {
        if (pTable->table[i].dwIndex == dwIndex)
            return true;
    }
    return false;
}

// The speed of the interface row named after the adapter, or -1 for none.
long long InterfaceSpeed(const std::string& strAdapterName)
{
    ULONG cbLength = 0;
    GetIfTable(nullptr, &cbLength, FALSE);
    std::vector<BYTE> buffer(cbLength ? cbLength : 1);
    auto* pTable = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(pTable, &cbLength, FALSE) != NO_ERROR)
        return -1;
    std::wstring strWanted(strAdapterName.begin(), strAdapterName.end());
    for (DWORD i = 0; i < pTable->dwNumEntries; ++i) {
        std::wstring strName = pTable->table[i].wszName;
        size_t nOpen = strName.rfind(L'{');
        size_t nClose = strName.rfind(L'}');
        if (nOpen != std::wstring::npos && nClose != std::wstring::npos && nClose > nOpen)
            strName = strName.substr(nOpen);
        if (_wcsicmp(strName.c_str(), strWanted.c_str()) == 0)
            return pTable->table[i].dwSpeed;
    }
    return -1;
}

DWORD WlanInterfaceCount()
{
    HMODULE hWlan = LoadLibraryW(L"Wlanapi.dll");
    if (!hWlan)
        return 0;
    typedef DWORD(WINAPI * PFN_Open)(DWORD, PVOID, PDWORD, PHANDLE);
    typedef DWORD(WINAPI * PFN_Enum)(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST*);
    auto pfnOpen = reinterpret_cast<PFN_Open>(reinterpret_cast<void*>(GetProcAddress(hWlan, "WlanOpenHandle")));
    auto pfnEnum = reinterpret_cast<PFN_Enum>(reinterpret_cast<void*>(GetProcAddress(hWlan, "WlanEnumInterfaces")));
    DWORD nCount = 0, dwVersion = 0;
    HANDLE hClient = nullptr;
    PWLAN_INTERFACE_INFO_LIST pList = nullptr;
    if (pfnOpen && pfnEnum && pfnOpen(2, nullptr, &dwVersion, &hClient) == ERROR_SUCCESS &&
        pfnEnum(hClient, nullptr, &pList) == ERROR_SUCCESS && pList)
        nCount = pList->dwNumberOfItems;
    FreeLibrary(hWlan);  // the client handle and list go with the process
    return nCount;
}

TEST(NetworkReportOnThePlatform, WritesWhatThePlatformReports)
{
    testing_support::RemoveFile(FakeWlanFile(L"Wlanapi.dll"));  // a stand-in an interrupted run left beside the host
    auto lanCableInfo = testing_support::Library::Export<PFN_LanCableInfo>("LanCableInfo");
    SeedResultFile();
    lanCableInfo();

    std::vector<BYTE> adapters = AdapterList();
    std::string strLastName;
    bool bConnected = false;
    bool bAnyWired = false;
    for (auto* p = adapters.empty() ? nullptr : reinterpret_cast<const IP_ADAPTER_INFO*>(adapters.data()); p; p = p->Next) {
        std::string strDescription = p->Description;
        if (p->Type != MIB_IF_TYPE_ETHERNET || strDescription.find("Bluetooth") != std::string::npos ||
            strDescription.find("VMware") != std::string::npos)
            continue;
        bAnyWired = true;
        strLastName = p->AdapterName;
        bConnected |= HasIpv4Address(p->ComboIndex);
    }
    if (adapters.empty()) {
        for (const wchar_t* pszKey : kAllKeys)
            EXPECT_EQ(L"old", ReadResult(pszKey)) << pszKey;
        return;
    }
    if (bAnyWired) {
        EXPECT_EQ(std::wstring(strLastName.begin(), strLastName.end()), ReadResult(kLanName));
        EXPECT_EQ(bConnected ? L"2" : L"", ReadResult(kLanConnected));
    } else {
        EXPECT_EQ(L"old", ReadResult(kLanName));
        EXPECT_EQ(L"old", ReadResult(kLanConnected));
    }
    long long llSpeed = InterfaceSpeed(strLastName);
    if (llSpeed < 0)
        EXPECT_EQ(L"", ReadResult(kLanSpeed));
    else if (llSpeed == 0)
        EXPECT_EQ(L"0 bits/s", ReadResult(kLanSpeed)) << "Wine reports no link speed";
    else
        EXPECT_NE(L"old", ReadResult(kLanSpeed));

    if (WlanInterfaceCount() == 0) {
        for (const wchar_t* pszKey : {kWifiConnected, kWifiNetwork, kWifiSignal, kWifiSpeed})
            EXPECT_EQ(L"old", ReadResult(pszKey)) << pszKey;
    }
    EXPECT_FALSE(IsWlanapiLoaded());
    std::printf("platform: adapter %s, connected %d, speed %lld\n", strLastName.c_str(), bConnected, llSpeed);
}

}  // namespace
}  // namespace network_tests
