#include "startup/enumerate.h"

#include <utility>

#include "frame/module_objects.h"
#include "startup/approved_state.h"
#include "startup/environment.h"
#include "startup/item_details.h"
#include "startup/msconfig_store_reader.h"
#include "startup/run_entries.h"
#include "startup/startup_folder.h"

void AppendStartupItem(STARTUPITEMS& item)
{
    STARTUPITEMS empty{};  // empty strings hold no storage: this copy allocates nothing
    int nIndex = g_startupItems.Add(empty);
    if (nIndex >= 0)
        g_startupItems[nIndex] = std::move(item);
}

void EnumerateStartupItems()
{
    g_startupItems.RemoveAll();
    bool bWow64 = IsWow64();
    ReadRunEntries(SI_RUN_HKCU);
    ReadRunEntries(SI_RUN_HKLM);
    if (bWow64)
        ReadRunEntries(SI_RUN_HKLM32);
    ReadStartupFolder(SI_FOLDER_USER);
    ReadStartupFolder(SI_FOLDER_COMMON);
    if (!UsesApprovedStore()) {
        ReadMsconfigRegistryStore();
    } else {
        ApplyApprovedState(SI_APPROVED_RUN_HKCU);
        ApplyApprovedState(SI_APPROVED_RUN_HKLM);
        if (bWow64)
            ApplyApprovedState(SI_APPROVED_RUN_HKLM32);
        ApplyApprovedState(SI_APPROVED_FOLDER_USER);
        ApplyApprovedState(SI_APPROVED_FOLDER_COMMON);
    }
    FillItemDetails();
}
