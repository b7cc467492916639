#include "network_platform.h"

#include <cstddef>
#include <cstring>

#include "testing/library_host.h"

namespace network_tests {
namespace {
FakeNetworkState* g_state = nullptr;
testing_support::ImportPatch* g_writePatch = nullptr;
testing_support::ImportPatch* g_heapFreePatch = nullptr;

// Guarded blocks: the block's last byte is followed by a no-access page.
struct GuardedBlock {
    DWORD dwMagic;
    void* pRegion;
};
constexpr DWORD kGuardMagic = 0x47524144;  // "GRAD"
constexpr SIZE_T kPage = 4096;

void* GuardedAllocate(SIZE_T cbLength)
{
    SIZE_T cbHeader = sizeof(GuardedBlock);
    SIZE_T cbPages = (cbLength + cbHeader + kPage - 1) / kPage * kPage;
    auto* pRegion = static_cast<BYTE*>(VirtualAlloc(nullptr, cbPages + kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!pRegion)
        return nullptr;
    DWORD dwOld = 0;
    VirtualProtect(pRegion + cbPages, kPage, PAGE_NOACCESS, &dwOld);
    // Tables hold DWORDs and (in the adapter list) pointers: keep the start aligned.
    SIZE_T cbStart = (cbPages - cbLength) & ~static_cast<SIZE_T>(sizeof(void*) - 1);
    auto* pBlock = pRegion + cbStart;
    auto* pHeader = reinterpret_cast<GuardedBlock*>(pBlock - cbHeader);
    pHeader->dwMagic = kGuardMagic;
    pHeader->pRegion = pRegion;
    return pBlock;
}

LPVOID WINAPI FakeHeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T cbLength)
{
    g_state->allocations.push_back({hHeap, dwFlags, cbLength});
    if (cbLength == g_state->cbFailedAllocation)
        return nullptr;
    void* p = GuardedAllocate(cbLength);
    if (p)
        ++g_state->nLiveBlocks;
    return p;
}

BOOL WINAPI FakeHeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID p)
{
    auto* pHeader = p ? reinterpret_cast<GuardedBlock*>(static_cast<BYTE*>(p) - sizeof(GuardedBlock)) : nullptr;
    if (!pHeader || hHeap != GetProcessHeap() || pHeader->dwMagic != kGuardMagic) {
        ++g_state->nForeignFrees;
        return g_heapFreePatch->Original<decltype(&HeapFree)>()(hHeap, dwFlags, p);
    }
    pHeader->dwMagic = 0;
    --g_state->nLiveBlocks;
    return VirtualFree(pHeader->pRegion, 0, MEM_RELEASE);
}

template <size_t N>
void CopyField(char (&achField)[N], const std::string& strValue)
{
    memset(achField, 0, N);
    memcpy(achField, strValue.data(), strValue.size() < N ? strValue.size() : N);
}

ULONG WINAPI FakeGetAdaptersInfo(PIP_ADAPTER_INFO pInfo, PULONG pcbLength)
{
    g_state->adapterCalls.push_back({pInfo != nullptr, *pcbLength, FALSE});
    const auto& adapters = g_state->adapters;
    if (adapters.empty())
        return ERROR_NO_DATA;
    ULONG cbNeeded = static_cast<ULONG>(adapters.size() * sizeof(IP_ADAPTER_INFO));
    if (!pInfo || *pcbLength < cbNeeded) {
        *pcbLength = cbNeeded;
        return ERROR_BUFFER_OVERFLOW;
    }
    if (g_state->dwAdapterListError)
        return g_state->dwAdapterListError;
    memset(pInfo, 0, cbNeeded);
    for (size_t i = 0; i < adapters.size(); ++i) {
        IP_ADAPTER_INFO& record = pInfo[i];
        record.Next = i + 1 < adapters.size() ? &pInfo[i + 1] : nullptr;
        record.ComboIndex = adapters[i].dwComboIndex;
        CopyField(record.AdapterName, adapters[i].strName);
        CopyField(record.Description, adapters[i].strDescription);
        record.AddressLength = 6;
        record.Index = adapters[i].dwIndex;
        record.Type = adapters[i].uType;
    }
    return ERROR_SUCCESS;
}

DWORD WINAPI FakeGetIpAddrTable(PMIB_IPADDRTABLE pTable, PULONG pcbLength, BOOL bOrder)
{
    g_state->addressCalls.push_back({pTable != nullptr, *pcbLength, bOrder});
    const auto& indexes = g_state->addressIndexes;
    ULONG cbNeeded = static_cast<ULONG>(offsetof(MIB_IPADDRTABLE, table) + sizeof(MIB_IPADDRROW) * (indexes.empty() ? 1 : indexes.size()));
    if (!pTable || *pcbLength < cbNeeded) {
        *pcbLength = cbNeeded;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    if (g_state->dwAddressTableError)
        return g_state->dwAddressTableError;
    memset(pTable, 0, cbNeeded);
    pTable->dwNumEntries = static_cast<DWORD>(indexes.size());
    for (size_t i = 0; i < indexes.size(); ++i) {
        pTable->table[i].dwAddr = 0x0100000A + static_cast<DWORD>(i << 24);  // 10.0.0.x
        pTable->table[i].dwIndex = indexes[i];
        pTable->table[i].dwMask = 0x00FFFFFF;
    }
    return NO_ERROR;
}

DWORD WINAPI FakeGetIfTable(PMIB_IFTABLE pTable, PULONG pcbLength, BOOL bOrder)
{
    g_state->interfaceCalls.push_back({pTable != nullptr, *pcbLength, bOrder});
    const auto& rows = g_state->interfaces;
    ULONG cbNeeded = static_cast<ULONG>(offsetof(MIB_IFTABLE, table) + sizeof(MIB_IFROW) * (rows.empty() ? 1 : rows.size()));
    if (!pTable || *pcbLength < cbNeeded) {
        *pcbLength = cbNeeded;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    if (g_state->dwInterfaceTableError)
        return g_state->dwInterfaceTableError;
    memset(pTable, 0, cbNeeded);
    pTable->dwNumEntries = g_state->nClaimedInterfaceRows ? g_state->nClaimedInterfaceRows : static_cast<DWORD>(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        MIB_IFROW& row = pTable->table[i];
        memcpy(row.wszName, rows[i].strName.data(), sizeof(wchar_t) * (rows[i].strName.size() < MAX_INTERFACE_NAME_LEN ? rows[i].strName.size() : MAX_INTERFACE_NAME_LEN));
        row.dwIndex = rows[i].dwIndex;
        row.dwType = MIB_IF_TYPE_ETHERNET;
        row.dwSpeed = rows[i].dwSpeed;
        row.dwOperStatus = MIB_IF_OPER_STATUS_OPERATIONAL;
    }
    return NO_ERROR;
}

BOOL WINAPI RecordingWritePrivateProfileStringW(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue, LPCWSTR pszFile)
{
    if (pszSection && pszKey && wcscmp(pszSection, L"Tessary Optimizer") == 0)
        g_state->writes.emplace_back(pszKey, pszValue ? pszValue : L"<deleted>");
    if (!g_state->bPassWritesOn)
        return TRUE;
    return g_writePatch->Original<decltype(&WritePrivateProfileStringW)>()(pszSection, pszKey, pszValue, pszFile);
}

void* Address(const void* pfn) { return const_cast<void*>(pfn); }
}  // namespace

FakeNetworkPlatform::FakeNetworkPlatform(FakeNetworkState& state, bool bPatchHeap)
{
    g_state = &state;
    HMODULE h = testing_support::Library::Handle();
    using testing_support::ImportPatch;
    m_patches.push_back(std::make_unique<ImportPatch>(h, "iphlpapi.dll", "GetAdaptersInfo", Address(reinterpret_cast<void*>(&FakeGetAdaptersInfo))));
    m_patches.push_back(std::make_unique<ImportPatch>(h, "iphlpapi.dll", "GetIpAddrTable", Address(reinterpret_cast<void*>(&FakeGetIpAddrTable))));
    m_patches.push_back(std::make_unique<ImportPatch>(h, "iphlpapi.dll", "GetIfTable", Address(reinterpret_cast<void*>(&FakeGetIfTable))));
    m_patches.push_back(std::make_unique<ImportPatch>(h, "kernel32.dll", "WritePrivateProfileStringW",
                                                      Address(reinterpret_cast<void*>(&RecordingWritePrivateProfileStringW))));
    g_writePatch = m_patches.back().get();
    if (bPatchHeap) {
        m_patches.push_back(std::make_unique<ImportPatch>(h, "kernel32.dll", "HeapAlloc", Address(reinterpret_cast<void*>(&FakeHeapAlloc))));
        m_patches.push_back(std::make_unique<ImportPatch>(h, "kernel32.dll", "HeapFree", Address(reinterpret_cast<void*>(&FakeHeapFree))));
        g_heapFreePatch = m_patches.back().get();
    }
}

FakeNetworkPlatform::~FakeNetworkPlatform()
{
    m_patches.clear();
    g_writePatch = nullptr;
    g_heapFreePatch = nullptr;
    g_state = nullptr;
}

bool FakeNetworkPlatform::IsActive() const
{
    for (const auto& patch : m_patches) {
        if (!patch->IsActive())
            return false;
    }
    return true;
}

std::vector<std::wstring> WritesOf(const FakeNetworkState& state, const wchar_t* pszKey)
{
    std::vector<std::wstring> values;
    for (const auto& write : state.writes) {
        if (write.first == pszKey)
            values.push_back(write.second);
    }
    return values;
}

}  // namespace network_tests
