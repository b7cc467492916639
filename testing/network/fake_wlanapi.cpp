// Stand-in for the system's Wlanapi.dll, which a test host hands the library where it
// loads the system folder's copy (tests/network/fake_wlan.h). It serves interfaces, available
// networks and the current connection, in the WLAN API's published layouts, from
// "fake_wlan_fixture.txt" beside itself, and appends every call to "fake_wlan_calls.log".
//
// Fixture lines (read again on every WlanOpenHandle):
//   open ERROR                      answer of WlanOpenHandle (default 0)
//   enum ERROR                      answer of WlanEnumInterfaces (default 0)
//   interface STATE [LIST_ERROR]    one interface; its GUID ends in its 1-based number
//   network PROFILE QUALITY FLAGS   an available network of the last interface ("-": no profile name)
//   query ERROR TX_RATE [LENGTH]    answer of WlanQueryInterface for the current connection
//   quiet                           log nothing (for long runs)
//
// Built with FAKE_WLAN_WITHOUT_QUERY or FAKE_WLAN_WITHOUT_CLOSE it lacks that export.
#include <windows.h>
#include <wlanapi.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxInterfaces = 8;
constexpr int kMaxNetworks = 16;
constexpr DWORD kBlockMagic = 0x4E414C57;  // "WLAN"

struct FakeNetwork {
    wchar_t szProfile[WLAN_MAX_NAME_LENGTH];
    DWORD dwQuality;
    DWORD dwFlags;
};
struct FakeInterface {
    int nState;
    DWORD dwListError;
    int nNetworks;
    FakeNetwork networks[kMaxNetworks];
};
struct Fixture {
    DWORD dwOpenError;
    DWORD dwEnumError;
    DWORD dwQueryError;
    DWORD dwTxRate;
    DWORD cbQueryLength;
    bool bQuiet;
    int nInterfaces;
    FakeInterface interfaces[kMaxInterfaces];
};

HMODULE g_hSelf = nullptr;
Fixture g_fixture;
LONG g_nLiveBlocks = 0;
LONG g_nOpenHandles = 0;

void PathBesideSelf(const wchar_t* pszName, wchar_t* pszPath)
{
    GetModuleFileNameW(g_hSelf, pszPath, MAX_PATH);
    wchar_t* pSlash = wcsrchr(pszPath, L'\\');
    wcscpy(pSlash ? pSlash + 1 : pszPath, pszName);
}

void Log(const char* pszFormat, ...)
{
    if (g_fixture.bQuiet)
        return;
    char szLine[512];
    va_list args;
    va_start(args, pszFormat);
    int n = _vsnprintf(szLine, sizeof(szLine) - 2, pszFormat, args);
    va_end(args);
    if (n < 0)
        n = sizeof(szLine) - 2;
    szLine[n++] = '\n';
    wchar_t szPath[MAX_PATH];
    PathBesideSelf(L"fake_wlan_calls.log", szPath);
    HANDLE hFile = CreateFileW(szPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD dwWritten = 0;
    WriteFile(hFile, szLine, n, &dwWritten, nullptr);
    CloseHandle(hFile);
}

void ReadFixture()
{
    memset(&g_fixture, 0, sizeof(g_fixture));
    g_fixture.cbQueryLength = sizeof(WLAN_CONNECTION_ATTRIBUTES);
    wchar_t szPath[MAX_PATH];
    PathBesideSelf(L"fake_wlan_fixture.txt", szPath);
    FILE* pFile = _wfopen(szPath, L"r");
    if (!pFile)
        return;
    char szLine[512];
    while (fgets(szLine, sizeof(szLine), pFile)) {
        char szProfile[256] = {};
        unsigned a = 0, b = 0, c = 0;
        FakeInterface* pLast = g_fixture.nInterfaces ? &g_fixture.interfaces[g_fixture.nInterfaces - 1] : nullptr;
        if (sscanf(szLine, "open %u", &a) == 1) {
            g_fixture.dwOpenError = a;
        } else if (sscanf(szLine, "enum %u", &a) == 1) {
            g_fixture.dwEnumError = a;
        } else if (int nRead = sscanf(szLine, "query %u %u %u", &a, &b, &c); nRead >= 2) {
            g_fixture.dwQueryError = a;
            g_fixture.dwTxRate = b;
            if (nRead == 3)
                g_fixture.cbQueryLength = c;
        } else if (strncmp(szLine, "quiet", 5) == 0) {
            g_fixture.bQuiet = true;
        } else if (int nState = sscanf(szLine, "interface %u %u", &a, &b); nState >= 1 && g_fixture.nInterfaces < kMaxInterfaces) {
            FakeInterface& fake = g_fixture.interfaces[g_fixture.nInterfaces++];
            fake.nState = static_cast<int>(a);
            fake.dwListError = nState == 2 ? b : 0;
        } else if (sscanf(szLine, "network %255s %u %u", szProfile, &a, &b) == 3 && pLast && pLast->nNetworks < kMaxNetworks) {
            FakeNetwork& network = pLast->networks[pLast->nNetworks++];
            if (strcmp(szProfile, "-") != 0)
                MultiByteToWideChar(CP_ACP, 0, szProfile, -1, network.szProfile, WLAN_MAX_NAME_LENGTH);
            network.dwQuality = a;
            network.dwFlags = b;
        }
    }
    fclose(pFile);
}

// Blocks handed out carry a header so that WlanFreeMemory can tell its own from others.
void* AllocateBlock(size_t cb)
{
    auto* pHeader = static_cast<DWORD*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, cb + 16));
    if (!pHeader)
        return nullptr;
    pHeader[0] = kBlockMagic;
    InterlockedIncrement(&g_nLiveBlocks);
    return reinterpret_cast<BYTE*>(pHeader) + 16;
}

GUID InterfaceGuid(int nIndex)
{
    GUID guid = {0xA0000000u + static_cast<unsigned>(nIndex) + 1, 0x1234, 0x5678, {0x9A, 0xBC, 0, 0, 0, 0, 0, 0}};
    return guid;
}

// 1-based number of the interface with this GUID, 0 for none.
int InterfaceNumber(const GUID* pGuid)
{
    for (int i = 0; pGuid && i < g_fixture.nInterfaces; ++i) {
        GUID guid = InterfaceGuid(i);
        if (memcmp(&guid, pGuid, sizeof(GUID)) == 0)
            return i + 1;
    }
    return 0;
}

HANDLE g_hClient = nullptr;  // the last handle opened
const char* HandleCheck(HANDLE h) { return h && h == g_hClient ? "ok" : "unknown"; }
}  // namespace

#define FAKE_WLAN_EXPORT extern "C" __declspec(dllexport)

FAKE_WLAN_EXPORT DWORD WINAPI WlanOpenHandle(DWORD dwClientVersion, PVOID pReserved, PDWORD pdwNegotiatedVersion, PHANDLE phClientHandle)
{
    ReadFixture();
    Log("WlanOpenHandle version=%lu reserved=%s", dwClientVersion, pReserved ? "set" : "null");
    if (g_fixture.dwOpenError)
        return g_fixture.dwOpenError;
    // A real kernel object, so that a handle never closed shows in the process's count.
    g_hClient = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    InterlockedIncrement(&g_nOpenHandles);
    *pdwNegotiatedVersion = dwClientVersion;
    *phClientHandle = g_hClient;
    return ERROR_SUCCESS;
}

#ifndef FAKE_WLAN_WITHOUT_CLOSE
FAKE_WLAN_EXPORT DWORD WINAPI WlanCloseHandle(HANDLE hClientHandle, PVOID pReserved)
{
    Log("WlanCloseHandle %s", HandleCheck(hClientHandle));
    if (hClientHandle != g_hClient || !hClientHandle)
        return ERROR_INVALID_HANDLE;
    CloseHandle(hClientHandle);
    g_hClient = nullptr;
    InterlockedDecrement(&g_nOpenHandles);
    return ERROR_SUCCESS;
}
#endif

FAKE_WLAN_EXPORT DWORD WINAPI WlanEnumInterfaces(HANDLE hClientHandle, PVOID pReserved, PWLAN_INTERFACE_INFO_LIST* ppInterfaceList)
{
    Log("WlanEnumInterfaces %s", HandleCheck(hClientHandle));
    if (g_fixture.dwEnumError)
        return g_fixture.dwEnumError;
    size_t cb = offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) + sizeof(WLAN_INTERFACE_INFO) * (g_fixture.nInterfaces ? g_fixture.nInterfaces : 1);
    auto* pList = static_cast<WLAN_INTERFACE_INFO_LIST*>(AllocateBlock(cb));
    pList->dwNumberOfItems = g_fixture.nInterfaces;
    for (int i = 0; i < g_fixture.nInterfaces; ++i) {
        pList->InterfaceInfo[i].InterfaceGuid = InterfaceGuid(i);
        swprintf(pList->InterfaceInfo[i].strInterfaceDescription, 256, L"Fake Wireless Adapter %d", i + 1);
        pList->InterfaceInfo[i].isState = static_cast<WLAN_INTERFACE_STATE>(g_fixture.interfaces[i].nState);
    }
    *ppInterfaceList = pList;
    return ERROR_SUCCESS;
}

FAKE_WLAN_EXPORT DWORD WINAPI WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags, PVOID pReserved,
                                                          PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList)
{
    int nNumber = InterfaceNumber(pInterfaceGuid);
    Log("WlanGetAvailableNetworkList %s interface=%d flags=%lu reserved=%s", HandleCheck(hClientHandle), nNumber, dwFlags,
        pReserved ? "set" : "null");
    if (!nNumber)
        return ERROR_INVALID_PARAMETER;
    const FakeInterface& fake = g_fixture.interfaces[nNumber - 1];
    if (fake.dwListError)
        return fake.dwListError;
    size_t cb = offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network) + sizeof(WLAN_AVAILABLE_NETWORK) * (fake.nNetworks ? fake.nNetworks : 1);
    auto* pList = static_cast<WLAN_AVAILABLE_NETWORK_LIST*>(AllocateBlock(cb));
    pList->dwNumberOfItems = fake.nNetworks;
    for (int i = 0; i < fake.nNetworks; ++i) {
        WLAN_AVAILABLE_NETWORK& network = pList->Network[i];
        wcscpy(network.strProfileName, fake.networks[i].szProfile);
        network.dot11Ssid.uSSIDLength = 4;
        memcpy(network.dot11Ssid.ucSSID, "fake", 4);
        network.dot11BssType = dot11_BSS_type_infrastructure;
        network.uNumberOfBssids = 1;
        network.bNetworkConnectable = TRUE;
        network.wlanSignalQuality = fake.networks[i].dwQuality;
        network.dwFlags = fake.networks[i].dwFlags;
    }
    *ppAvailableNetworkList = pList;
    return ERROR_SUCCESS;
}

#ifndef FAKE_WLAN_WITHOUT_QUERY
FAKE_WLAN_EXPORT DWORD WINAPI WlanQueryInterface(HANDLE hClientHandle, const GUID* pInterfaceGuid, WLAN_INTF_OPCODE OpCode, PVOID pReserved,
                                                 PDWORD pdwDataSize, PVOID* ppData, PWLAN_OPCODE_VALUE_TYPE pWlanOpcodeValueType)
{
    int nNumber = InterfaceNumber(pInterfaceGuid);
    Log("WlanQueryInterface %s interface=%d opcode=%d reserved=%s", HandleCheck(hClientHandle), nNumber, static_cast<int>(OpCode),
        pReserved ? "set" : "null");
    if (!nNumber || OpCode != wlan_intf_opcode_current_connection)
        return ERROR_INVALID_PARAMETER;
    if (g_fixture.dwQueryError)
        return g_fixture.dwQueryError;
    auto* pConnection = static_cast<WLAN_CONNECTION_ATTRIBUTES*>(AllocateBlock(sizeof(WLAN_CONNECTION_ATTRIBUTES)));
    pConnection->isState = wlan_interface_state_connected;
    wcscpy(pConnection->strProfileName, L"current");
    pConnection->wlanAssociationAttributes.ulRxRate = g_fixture.dwTxRate / 2;
    pConnection->wlanAssociationAttributes.ulTxRate = g_fixture.dwTxRate;
    *pdwDataSize = g_fixture.cbQueryLength;
    *ppData = pConnection;
    if (pWlanOpcodeValueType)
        *pWlanOpcodeValueType = wlan_opcode_value_type_query_only;
    return ERROR_SUCCESS;
}
#endif

FAKE_WLAN_EXPORT VOID WINAPI WlanFreeMemory(PVOID pMemory)
{
    auto* pHeader = pMemory ? reinterpret_cast<DWORD*>(static_cast<BYTE*>(pMemory) - 16) : nullptr;
    bool bOwn = pHeader && pHeader[0] == kBlockMagic;
    Log("WlanFreeMemory %s", bOwn ? "ok" : "unknown");
    if (!bOwn)
        return;
    pHeader[0] = 0;
    InterlockedDecrement(&g_nLiveBlocks);
    HeapFree(GetProcessHeap(), 0, pHeader);
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hSelf = hInstance;
        ReadFixture();
        Log("attach");
    } else if (dwReason == DLL_PROCESS_DETACH) {
        Log("detach memory=%ld handles=%ld", g_nLiveBlocks, g_nOpenHandles);
    }
    return TRUE;
}
