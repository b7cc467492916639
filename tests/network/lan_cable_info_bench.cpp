// LanCableInfo on the real platform against the platform calls that the same report must
// make, made directly: the result file's folders, the adapter list, the address table and
// the interface table each read once in their two calls into process-heap buffers, the
// three LAN keys written when a wired adapter is listed (each after the check that the
// file exists, which makes a missing one as UTF-16), the apartment, and the system
// folder's wlanapi.dll loaded with a client handle opened, its interfaces listed and
// everything released.
#include <windows.h>
#include <iphlpapi.h>
#include <shlobj.h>
#include <wlanapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "testing/bench_rounds.h"
#include "testing/library_host.h"

namespace {
// Two calls of one table into process-heap buffers: the first, with a one-record buffer
// and the size cbAsk, tells the size; the second passes the size the first reported.
template <class Table, class Read>
void ReadTable(ULONG cbFirst, ULONG cbAsk, Read read)
{
    HANDLE hHeap = GetProcessHeap();
    ULONG cb = cbAsk;
    void* p = HeapAlloc(hHeap, 0, cbFirst);
    if (read(static_cast<Table*>(p), &cb) != NO_ERROR) {
        HeapFree(hHeap, 0, p);
        p = HeapAlloc(hHeap, 0, cb);
    }
    read(static_cast<Table*>(p), &cb);
    HeapFree(hHeap, 0, p);
}

// Whether the list holds an adapter the report takes for wired (Ethernet, and neither
// Bluetooth nor VMware): only then does it read the address table and write the two keys.
bool ListsWiredAdapter()
{
    ULONG cb = 0;
    GetAdaptersInfo(nullptr, &cb);
    std::string buffer(cb, '\0');
    auto* pAdapter = reinterpret_cast<IP_ADAPTER_INFO*>(&buffer[0]);
    if (!cb || GetAdaptersInfo(pAdapter, &cb) != NO_ERROR)
        return false;
    for (; pAdapter; pAdapter = pAdapter->Next) {
        std::string strDescription(pAdapter->Description, strnlen(pAdapter->Description, sizeof(pAdapter->Description)));
        if (pAdapter->Type == MIB_IF_TYPE_ETHERNET && strDescription.find("Bluetooth") == std::string::npos &&
            strDescription.find("VMware") == std::string::npos)
            return true;
    }
    return false;
}

// The values the report wrote, so that the baseline writes the same ones (the profile
// writer leaves a file alone when a value does not change).
struct LanValues {
    std::wstring strName, strConnected, strSpeed;
};

std::wstring ReadValue(const std::wstring& strFile, const wchar_t* pszKey)
{
    wchar_t sz[300] = {};
    GetPrivateProfileStringW(L"Tessary Optimizer", pszKey, L"", sz, 300, strFile.c_str());
    return sz;
}

void WriteKey(const std::wstring& strFile, const wchar_t* pszKey, const std::wstring& strValue)
{
    HANDLE hNew = CreateFileW(strFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hNew != INVALID_HANDLE_VALUE)
        CloseHandle(hNew);
    WritePrivateProfileStringW(L"Tessary Optimizer", pszKey, strValue.c_str(), strFile.c_str());
}

void PlatformCalls(bool bWired, const LanValues& values)
{
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    std::wstring strFile = std::wstring(szFolder) + L"\\Tessary";
    CreateDirectoryW(strFile.c_str(), nullptr);
    strFile += L"\\KELDA";
    CreateDirectoryW(strFile.c_str(), nullptr);
    strFile += L"\\xmlupd.dat";

    // 648 bytes: one adapter record as Windows SDK compilers lay it out.
    ReadTable<IP_ADAPTER_INFO>(648, 648, [](IP_ADAPTER_INFO* p, ULONG* pcb) { return GetAdaptersInfo(p, pcb); });
    if (bWired) {
        // The first call asks with a size of 0; the second gets the whole table.
        ReadTable<MIB_IPADDRTABLE>(sizeof(MIB_IPADDRTABLE), 0,
                                   [](MIB_IPADDRTABLE* p, ULONG* pcb) { return GetIpAddrTable(p, pcb, FALSE); });
        WriteKey(strFile, L"IDS_CLOUD_LAN_ADAPTER_NAME", values.strName);
        WriteKey(strFile, L"IDS_CLOUD_LAN_CONNECTED", values.strConnected);
    }
    ReadTable<MIB_IFTABLE>(sizeof(MIB_IFTABLE), sizeof(MIB_IFTABLE), [](MIB_IFTABLE* p, ULONG* pcb) { return GetIfTable(p, pcb, FALSE); });
    WriteKey(strFile, L"IDS_CLOUD_LAN_SPEED", values.strSpeed);
    CoInitialize(nullptr);

    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    HMODULE hWlan = LoadLibraryExW((std::wstring(szSystem) + L"\\wlanapi.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!hWlan)
        return;
    auto open = reinterpret_cast<decltype(&WlanOpenHandle)>(reinterpret_cast<void*>(GetProcAddress(hWlan, "WlanOpenHandle")));
    auto enumerate = reinterpret_cast<decltype(&WlanEnumInterfaces)>(reinterpret_cast<void*>(GetProcAddress(hWlan, "WlanEnumInterfaces")));
    for (const char* pszName : {"WlanGetAvailableNetworkList", "WlanQueryInterface"})
        GetProcAddress(hWlan, pszName);
    auto close = reinterpret_cast<decltype(&WlanCloseHandle)>(reinterpret_cast<void*>(GetProcAddress(hWlan, "WlanCloseHandle")));
    auto freeMemory = reinterpret_cast<decltype(&WlanFreeMemory)>(reinterpret_cast<void*>(GetProcAddress(hWlan, "WlanFreeMemory")));
    DWORD dwVersion = 0;
    HANDLE hClient = nullptr;
    if (open && open(2, nullptr, &dwVersion, &hClient) == ERROR_SUCCESS) {
        WLAN_INTERFACE_INFO_LIST* pList = nullptr;
        if (enumerate && enumerate(hClient, nullptr, &pList) == ERROR_SUCCESS && pList && freeMemory)
            freeMemory(pList);
        if (close)
            close(hClient, nullptr);
    }
    FreeLibrary(hWlan);
}
}  // namespace

int main()
{
    auto lanCableInfo = testing_support::Library::Export<PFN_LanCableInfo>("LanCableInfo");
    if (!lanCableInfo)
        return 1;
    const bool bWired = ListsWiredAdapter();
    lanCableInfo();  // first-call costs (module loads, profile cache) are not what is measured
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    const std::wstring strFile = std::wstring(szFolder) + L"\\Tessary\\KELDA\\xmlupd.dat";
    const LanValues values = {ReadValue(strFile, L"IDS_CLOUD_LAN_ADAPTER_NAME"), ReadValue(strFile, L"IDS_CLOUD_LAN_CONNECTED"),
                              ReadValue(strFile, L"IDS_CLOUD_LAN_SPEED")};
    PlatformCalls(bWired, values);
    testing_support::RoundFigures figures =
        testing_support::MeasureRounds(31, 30, lanCableInfo, [&] { PlatformCalls(bWired, values); });
    std::printf("this platform lists %s\n", bWired ? "an Ethernet adapter" : "no Ethernet adapter");
    testing_support::PrintRounds("LanCableInfo", "LanCableInfo", "the same platform calls", figures);
    return 0;
}
