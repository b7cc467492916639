// StartupItems: the host's list of every program that starts with Windows.
#include "frame/export.h"

#include <utility>

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
        // The list is emptied next, so its strings move over instead of being copied;
        // the host gets the same records either way.
        const int nItems = g_startupItems.GetSize();
        if (pItems->SetSize(nItems)) {
            for (int i = 0; i < nItems; ++i)
                (*pItems)[i] = std::move(g_startupItems[i]);
        } else {
            for (int i = 0; i < nItems; ++i)
                pItems->Add(g_startupItems[i]);
        }
    }
    g_startupItems.RemoveAll();
}
}  // namespace

WENDLE_API void __cdecl StartupItems(CStartupItemArray* pItems)
{
    RunExport([&] { ListStartupItems(pItems); });
}
