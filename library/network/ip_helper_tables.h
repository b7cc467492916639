// The three IP Helper tables of the LAN report, each read into a block of the process
// heap in the usual two calls: one with a one-record buffer, which reports the size the
// table needs, and one with a buffer of that size.
#pragma once
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>

#include "win32/raii.h"

// The first adapter buffer holds one record as Windows SDK compilers lay it out, with a
// 64-bit time_t in the lease fields. mingw's 32-bit IP_ADAPTER_INFO keeps the msvcrt's
// 32-bit time_t and is 8 bytes shorter; every field read here lies before the lease
// fields, where both layouts agree.
constexpr ULONG kAdapterRecordLength = sizeof(IP_ADAPTER_INFO) + 2 * (sizeof(__time64_t) - sizeof(time_t));
#if !defined(_WIN64)
static_assert(kAdapterRecordLength == 648, "one adapter record is 648 bytes in the 32-bit build");
#endif
static_assert(sizeof(MIB_IPADDRTABLE) == 28, "MIB_IPADDRTABLE with one row is 28 bytes");
static_assert(sizeof(MIB_IFTABLE) == 864, "MIB_IFTABLE with one row is 864 bytes");

// A table in a process-heap block; an empty block means the table could not be read.
struct HeapTable {
    win32::UniqueHeapBlock block;
    DWORD cbLength = 0;  // size of the block

    explicit operator bool() const { return static_cast<bool>(block); }
    template <class T>
    const T* As() const
    {
        return static_cast<const T*>(block.get());
    }
};

// The adapter list (GetAdaptersInfo). Empty when memory runs out or the list cannot be read.
HeapTable ReadAdapterList();
// The IPv4 address table, unsorted (GetIpAddrTable). Empty when memory runs out or the
// table cannot be read.
HeapTable ReadAddressTable();
// The interface table, unsorted (GetIfTable). Empty when memory runs out or the table
// cannot be read.
HeapTable ReadInterfaceTable();

// The adapter that follows pAdapter (nullptr: the first), or nullptr at the end of the
// list. Links that leave the block end the list, so a damaged list is never read past it.
const IP_ADAPTER_INFO* NextAdapter(const HeapTable& adapters, const IP_ADAPTER_INFO* pAdapter);

// Number of rows of an address or interface table that lie inside its block.
DWORD AddressRowCount(const HeapTable& addresses);
DWORD InterfaceRowCount(const HeapTable& interfaces);
