#include "network/ip_helper_tables.h"

namespace {
void* AllocateTable(DWORD cbLength) { return HeapAlloc(GetProcessHeap(), 0, cbLength); }

// Releases the block first, so that the process never holds both sizes at once.
bool Reallocate(HeapTable& table, DWORD cbLength)
{
    table.block.reset();
    table.block.reset(AllocateTable(cbLength));
    table.cbLength = table.block ? cbLength : 0;
    return static_cast<bool>(table.block);
}

// The rows a table claims (its dwNumEntries), cut to those that lie inside its block.
template <class Table, class Row>
DWORD RowsInBlock(const HeapTable& table)
{
    constexpr size_t cbHeader = offsetof(Table, table);
    if (!table || table.cbLength < cbHeader)
        return 0;
    DWORD nClaimed = table.As<Table>()->dwNumEntries;
    size_t nFit = (table.cbLength - cbHeader) / sizeof(Row);
    return nClaimed < nFit ? nClaimed : static_cast<DWORD>(nFit);
}
}  // namespace

HeapTable ReadAdapterList()
{
    HeapTable table;
    ULONG cbLength = kAdapterRecordLength;
    if (!Reallocate(table, cbLength))
        return table;
    DWORD dwResult = GetAdaptersInfo(static_cast<IP_ADAPTER_INFO*>(table.block.get()), &cbLength);
    if (dwResult == ERROR_BUFFER_OVERFLOW && !Reallocate(table, cbLength))
        return table;
    // With one adapter the first call has already filled the buffer; asking again keeps
    // one path for both cases.
    if (GetAdaptersInfo(static_cast<IP_ADAPTER_INFO*>(table.block.get()), &cbLength) != ERROR_SUCCESS)
        table.block.reset();
    return table;
}

HeapTable ReadAddressTable()
{
    HeapTable table;
    if (!Reallocate(table, sizeof(MIB_IPADDRTABLE)))
        return table;
    ULONG cbLength = 0;  // asks for the size the table needs
    DWORD dwResult = GetIpAddrTable(static_cast<MIB_IPADDRTABLE*>(table.block.get()), &cbLength, FALSE);
    if (dwResult == ERROR_INSUFFICIENT_BUFFER && !Reallocate(table, cbLength))
        return table;
    if (GetIpAddrTable(static_cast<MIB_IPADDRTABLE*>(table.block.get()), &cbLength, FALSE) != NO_ERROR)
        table.block.reset();
    return table;
}

HeapTable ReadInterfaceTable()
{
    HeapTable table;
    ULONG cbLength = sizeof(MIB_IFTABLE);
    if (!Reallocate(table, cbLength))
        return table;
    DWORD dwResult = GetIfTable(static_cast<MIB_IFTABLE*>(table.block.get()), &cbLength, FALSE);
    if (dwResult == ERROR_INSUFFICIENT_BUFFER && !Reallocate(table, cbLength))
        return table;
    if (GetIfTable(static_cast<MIB_IFTABLE*>(table.block.get()), &cbLength, FALSE) != NO_ERROR)
        table.block.reset();
    return table;
}

const IP_ADAPTER_INFO* NextAdapter(const HeapTable& adapters, const IP_ADAPTER_INFO* pAdapter)
{
    if (!adapters)
        return nullptr;
    const IP_ADAPTER_INFO* pFirst = adapters.As<IP_ADAPTER_INFO>();
    const IP_ADAPTER_INFO* pNext = pAdapter ? pAdapter->Next : pFirst;
    // The system lays the records out one after another in the block: a link backwards
    // or out of the block is damage, and following it could loop or overrun.
    auto nBlockEnd = reinterpret_cast<UINT_PTR>(pFirst) + adapters.cbLength;
    auto nNext = reinterpret_cast<UINT_PTR>(pNext);
    if (!pNext || (pAdapter && nNext <= reinterpret_cast<UINT_PTR>(pAdapter)) || nNext < reinterpret_cast<UINT_PTR>(pFirst) ||
        nNext > nBlockEnd || nBlockEnd - nNext < sizeof(IP_ADAPTER_INFO))
        return nullptr;
    return pNext;
}

DWORD AddressRowCount(const HeapTable& addresses) { return RowsInBlock<MIB_IPADDRTABLE, MIB_IPADDRROW>(addresses); }

DWORD InterfaceRowCount(const HeapTable& interfaces) { return RowsInBlock<MIB_IFTABLE, MIB_IFROW>(interfaces); }
