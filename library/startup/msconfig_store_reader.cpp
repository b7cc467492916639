#include "startup/msconfig_store_reader.h"

#include <utility>

#include "frame/module_objects.h"
#include "startup/enumerate.h"
#include "startup/startup_sources.h"
#include "startup/store_entries.h"

void ReadMsconfigRegistryStore()
{
    // The names are collected first, and the store key closed, before any entry is read.
    CStringArray astrNames;
    CollectStoreSubkeyNames(kMsconfigStartupReg, astrNames);
    for (int i = 0; i < astrNames.GetSize(); ++i) {
        StoredRunEntry entry;
        if (!ReadStoredRunEntry(astrNames[i], StoreEntryUse::List, entry))
            continue;
        STARTUPITEMS item{};
        item.strName = std::move(entry.strItem);
        item.strCommand = std::move(entry.strCommand);
        item.nEnabled = 0;
        item.nSource = entry.nSource;
        AppendStartupItem(item);
    }
}
