// Time of one LanCableInfo call on the real platform, against a baseline of the platform
// work it cannot avoid: the three IP Helper tables read twice each and Wlanapi.dll loaded
// and released once.
#include <windows.h>
#include <iphlpapi.h>

#include <cstdio>
#include <vector>

#include "testing/library_host.h"

namespace {
void ReadTables()
{
    std::vector<BYTE> buffer(64 * 1024);
    ULONG cb = static_cast<ULONG>(buffer.size());
    GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &cb);
    cb = static_cast<ULONG>(buffer.size());
    GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data()), &cb, FALSE);
    cb = static_cast<ULONG>(buffer.size());
    GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.data()), &cb, FALSE);
}

template <class F>
double MillisecondsPerCall(int nCalls, F f)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    f();  // first-call costs (module loads, profile cache) are not what is measured
    QueryPerformanceCounter(&start);
    for (int i = 0; i < nCalls; ++i)
        f();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / nCalls;
}
}  // namespace

int main()
{
    auto lanCableInfo = testing_support::Library::Export<PFN_LanCableInfo>("LanCableInfo");
    const int nCalls = 200;
    double dBaseline = MillisecondsPerCall(nCalls, [] {
        ReadTables();
        ReadTables();
        FreeLibrary(LoadLibraryW(L"Wlanapi.dll"));
    });
    double dReport = MillisecondsPerCall(nCalls, lanCableInfo);
    std::printf("LanCableInfo, %d calls on this platform\n", nCalls);
    std::printf("  baseline (tables read twice, Wlanapi.dll loaded once)  %8.3f ms a call\n", dBaseline);
    std::printf("  LanCableInfo                                            %8.3f ms a call (%.2fx)\n", dReport, dReport / dBaseline);
    return 0;
}
