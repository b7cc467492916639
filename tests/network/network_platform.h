// The platform the LAN report sees, chosen by each test: the IP Helper tables, the process
// heap and the result-file writer, served through the library's patched imports.
#pragma once
#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "testing/import_patch.h"

namespace network_tests {

struct FakeAdapter {
    std::string strName;         // "{GUID}", as the system names adapters
    std::string strDescription;  // in the system code page
    UINT uType = MIB_IF_TYPE_ETHERNET;
    DWORD dwComboIndex = 0;      // what the address table's rows are matched against
    DWORD dwIndex = 0;
};

struct FakeInterfaceRow {
    std::wstring strName;
    DWORD dwSpeed = 0;
    DWORD dwIndex = 0;
};

struct HeapCall {
    HANDLE hHeap;
    DWORD dwFlags;
    SIZE_T cbLength;
};

struct IpHelperCall {
    bool bBuffer;      // a buffer was passed
    ULONG cbLength;    // the size passed in
    BOOL bOrder;       // the sort flag (address and interface tables)
};

// What the platform holds and answers, and what the library asked of it.
struct FakeNetworkState {
    std::vector<FakeAdapter> adapters;
    std::vector<DWORD> addressIndexes;  // one IPv4 address row per interface index here
    std::vector<FakeInterfaceRow> interfaces;
    // Answers in place of success, once the caller's buffer is large enough.
    DWORD dwAdapterListError = 0;
    DWORD dwAddressTableError = 0;
    DWORD dwInterfaceTableError = 0;
    DWORD nClaimedInterfaceRows = 0;   // non-zero: dwNumEntries claims this many rows
    SIZE_T cbFailedAllocation = 0;     // HeapAlloc of this size answers nullptr
    bool bPassWritesOn = true;         // false: result-file writes are recorded only

    std::vector<IpHelperCall> adapterCalls, addressCalls, interfaceCalls;
    std::vector<HeapCall> allocations;
    int nLiveBlocks = 0;
    int nForeignFrees = 0;             // HeapFree of blocks this fake did not hand out
    std::vector<std::pair<std::wstring, std::wstring>> writes;  // result-file keys, in order
};

// Installs the fakes in the loaded library for its lifetime. Each heap block the library
// allocates ends at an inaccessible page, so reading past a table's end faults at once.
class FakeNetworkPlatform {
public:
    explicit FakeNetworkPlatform(FakeNetworkState& state, bool bPatchHeap = true);
    ~FakeNetworkPlatform();
    FakeNetworkPlatform(const FakeNetworkPlatform&) = delete;
    FakeNetworkPlatform& operator=(const FakeNetworkPlatform&) = delete;
    bool IsActive() const;

private:
    std::vector<std::unique_ptr<testing_support::ImportPatch>> m_patches;
};

// The values written to one key, in order.
std::vector<std::wstring> WritesOf(const FakeNetworkState& state, const wchar_t* pszKey);

}  // namespace network_tests
