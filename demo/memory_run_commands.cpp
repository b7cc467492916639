// "memory": the complete memory optimisation run, as the product's main program calls it.
#include "demo_host.h"
#include "result_file.h"
#include "win32/raii.h"

namespace {
// Prints a dot every half second until the event is set: the run blocks for 7 seconds.
DWORD WINAPI PrintProgress(void* pStop)
{
    while (WaitForSingleObject(static_cast<HANDLE>(pStop), 500) == WAIT_TIMEOUT) {
        fputwc(L'.', stdout);
        fflush(stdout);
    }
    return 0;
}

int RunMemory(const std::vector<std::wstring>&)
{
    auto brimwell = demo::Export<PFN_Brimwell>("Brimwell");
    wchar_t szPasses[64] = {};
    GetPrivateProfileStringW(L"Tessary Optimizer", L"IDS_MEM_TO_FREE", L"", szPasses, 64, (demo::HostFolder() + L"\\Settings.INI").c_str());
    wprintf(L"Memory optimisation run: IDS_MEM_TO_FREE=\"%ls\" in Settings.INI\n", szPasses);
    wprintf(L"  available memory before     %ls\n", demo::ByteText(demo::AvailablePhysicalMemory()).c_str());
    size_t nRecords = demo::NotifierRecordCount();

    win32::UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    wprintf(L"  trimming, then waiting for the system to settle ");
    fflush(stdout);
    DWORD dwStart = GetTickCount();
    win32::UniqueHandle progress(CreateThread(nullptr, 0, PrintProgress, stop.get(), 0, nullptr));
    brimwell();
    SetEvent(stop.get());
    WaitForSingleObject(progress.get(), INFINITE);
    wprintf(L" %lu ms\n", GetTickCount() - dwStart);

    wprintf(L"  available memory after      %ls\n", demo::ByteText(demo::AvailablePhysicalMemory()).c_str());
    wprintf(L"  xmlupd.dat  IDS_CLOUD_MEMOPT_STATUS  \"%ls\"\n", demo::ResultFileValue(L"IDS_CLOUD_MEMOPT_STATUS").c_str());
    wprintf(L"              IDS_CLOUD_MEMOPT         \"%ls\"\n", demo::ResultFileValue(L"IDS_CLOUD_MEMOPT").c_str());
    wprintf(L"              IDS_CLOUD_POPUP_TITLE    \"%ls\"\n", demo::ResultFileValue(L"IDS_CLOUD_POPUP_TITLE").c_str());
    wprintf(L"              IDS_CLOUD_MESSAGE_2      \"%ls\"\n", demo::ResultFileValue(L"IDS_CLOUD_MESSAGE_2").c_str());
    demo::PrintNotifierRecord(nRecords);
    return 0;
}

demo::RegisterCommand g_memory({L"memory", L"the full memory optimisation run (about 7 s)", RunMemory});
}  // namespace
