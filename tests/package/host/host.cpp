// Loads the installed wendle.dll from its own folder, lists the startup items and the
// drives, frees the records and unloads the library. Exit status 0 only when every step
// worked, at least one drive was listed and no framework block is left behind.
#include <cstdio>
#include <memory>
#include <type_traits>

#include "wendle.h"

int wmain()
{
    const LONG nBlocksBefore = FxLiveBlockCount();
    {
        std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> library(LoadLibraryW(L"wendle.dll"), &FreeLibrary);
        if (!library) {
            std::printf("wendle.dll did not load (error %lu)\n", GetLastError());
            return 1;
        }
        auto listStartup = reinterpret_cast<PFN_StartupItems>(GetProcAddress(library.get(), "StartupItems"));
        auto listDrives = reinterpret_cast<PFN_OnCalcDriveTemperature>(GetProcAddress(library.get(), "OnCalcDriveTemperature"));
        if (!listStartup || !listDrives)
            return 2;
        CStartupItemArray items;
        listStartup(&items);
        CDriveInfoList drives;
        listDrives(&drives);
        std::printf("%d startup items, %d drives\n", items.GetSize(), drives.GetCount());
        for (POSITION pos = drives.GetHeadPosition(); pos;) {
            const DRIVEINFO& drive = drives.GetNext(pos);
            std::printf("  %ls: %ls\n", drive.strDevicePath.GetString(), drive.strModel.GetString());
        }
        if (drives.IsEmpty())
            return 3;
    }  // records freed, then the library unloaded
    const LONG nBlocksLeft = FxLiveBlockCount() - nBlocksBefore;
    std::printf("framework blocks left: %ld\n", nBlocksLeft);
    return nBlocksLeft == 0 ? 0 : 4;
}
