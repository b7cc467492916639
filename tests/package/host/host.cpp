// Loads the installed wendle.dll from its own folder, lists the startup items and the
// drives, frees the records and unloads the library. Exit status 0 only when every step
// worked, a drive was listed and no framework block is left behind; and COM is not in the
// process before the library comes (framework.dll does not bring ole32.dll).
#include <cstdio>
#include <memory>
#include <type_traits>

#include "wendle.h"

int wmain()
{
    if (GetModuleHandleW(L"ole32.dll"))
        return 5;
    const LONG nBlocksBefore = FxLiveBlockCount();
    {
        std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> library(LoadLibraryW(L"wendle.dll"), &FreeLibrary);
        if (!library)
            return 1;
        auto listStartup = reinterpret_cast<PFN_StartupItems>(GetProcAddress(library.get(), "StartupItems"));
        auto listDrives = reinterpret_cast<PFN_OnCalcDriveTemperature>(GetProcAddress(library.get(), "OnCalcDriveTemperature"));
        if (!listStartup || !listDrives)
            return 2;
        CStartupItemArray items;
        listStartup(&items);
        CDriveInfoList drives;
        listDrives(&drives);
        std::printf("%d startup items, %d drives\n", items.GetSize(), drives.GetCount());
        if (drives.IsEmpty())
            return 3;
    }  // records freed, then the library unloaded
    const LONG nBlocksLeft = FxLiveBlockCount() - nBlocksBefore;
    std::printf("framework blocks left: %ld\n", nBlocksLeft);
    return nBlocksLeft == 0 ? 0 : 4;
}
