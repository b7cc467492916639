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

namespace {
// The usual two calls of an IP Helper table: into a block of cbFirstBlock bytes offering
// cbFirstOffer, which answers dwTooSmall with the size the table needs, and once more
// into a block of that size. A table that fits at once is simply read again, which keeps
// one path for both cases.
template <class Read>
HeapTable ReadInTwoCalls(DWORD cbFirstBlock, ULONG cbFirstOffer, DWORD dwTooSmall, Read read)
{
    HeapTable table;
    if (!Reallocate(table, cbFirstBlock))
        return table;
    ULONG cbLength = cbFirstOffer;
    if (read(table.block.get(), &cbLength) == dwTooSmall && !Reallocate(table, cbLength))
        return table;
    if (read(table.block.get(), &cbLength) != NO_ERROR)
        table.block.reset();
    return table;
}
}  // namespace

HeapTable ReadAdapterList()
{
    return ReadInTwoCalls(kAdapterRecordLength, kAdapterRecordLength, ERROR_BUFFER_OVERFLOW, [](void* pBlock, ULONG* pcb) {
        return GetAdaptersInfo(static_cast<IP_ADAPTER_INFO*>(pBlock), pcb);
    });
}

HeapTable ReadAddressTable()
{
    // The first call offers no room at all, to learn the size the table needs.
    return ReadInTwoCalls(sizeof(MIB_IPADDRTABLE), 0, ERROR_INSUFFICIENT_BUFFER, [](void* pBlock, ULONG* pcb) {
        return GetIpAddrTable(static_cast<MIB_IPADDRTABLE*>(pBlock), pcb, FALSE);
    });
}

HeapTable ReadInterfaceTable()
{
    return ReadInTwoCalls(sizeof(MIB_IFTABLE), sizeof(MIB_IFTABLE), ERROR_INSUFFICIENT_BUFFER, [](void* pBlock, ULONG* pcb) {
        return GetIfTable(static_cast<MIB_IFTABLE*>(pBlock), pcb, FALSE);
    });
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
