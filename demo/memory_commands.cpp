// "release [PASSES]": the working-set release on its own.
#include "demo_host.h"

#include <psapi.h>

namespace {
DWORD CountProcesses()
{
    DWORD ids[1024];
    DWORD cb = 0;
    return EnumProcesses(ids, sizeof(ids), &cb) ? cb / sizeof(DWORD) : 0;
}

int RunRelease(const std::vector<std::wstring>& args)
{
    int nPasses = args.empty() ? 1 : _wtoi(args[0].c_str());
    auto release = demo::Export<PFN_ReleaseFreeMemoryOfSytem>("ReleaseFreeMemoryOfSytem");
    ULONGLONG ullBefore = demo::AvailablePhysicalMemory();
    DWORD nProcesses = CountProcesses();
    DWORD dwStart = GetTickCount();
    release(nPasses);
    DWORD dwElapsed = GetTickCount() - dwStart;
    ULONGLONG ullAfter = demo::AvailablePhysicalMemory();
    wprintf(L"Working-set release, %d pass(es)\n", nPasses);
    wprintf(L"  processes visited per pass  %lu (of %lu running, at most 1024)\n", nProcesses > 1024 ? 1024 : nProcesses, nProcesses);
    wprintf(L"  available memory before     %ls\n", demo::ByteText(ullBefore).c_str());
    wprintf(L"  available memory after      %ls\n", demo::ByteText(ullAfter).c_str());
    wprintf(L"  time taken                  %lu ms\n", dwElapsed);
    return 0;
}

demo::RegisterCommand g_release({L"release", L"[PASSES]  trim every process's working set", RunRelease});
}  // namespace
