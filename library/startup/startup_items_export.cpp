// StartupItems: the host's list of every program that starts with Windows.
#include "frame/export.h"

#include "frame/module_objects.h"
#include "startup/enumerate.h"

namespace {
void ListStartupItems(CStartupItemArray* pItems)
{
    EnumerateStartupItems();
    if (pItems) {
        // The host's earlier contents always go; the copies are made through the shared
        // framework heap, so the host frees them as its own.
        pItems->RemoveAll();
        for (int i = 0; i < g_startupItems.GetSize(); ++i)
            pItems->Add(g_startupItems[i]);
    }
    g_startupItems.RemoveAll();
}
}  // namespace

WENDLE_API void __cdecl StartupItems(CStartupItemArray* pItems)
{
    RunExport([&] { ListStartupItems(pItems); });
}
