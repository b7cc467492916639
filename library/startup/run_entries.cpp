#include "startup/run_entries.h"

#include "frame/module_objects.h"
#include "startup/counted_key.h"
#include "startup/enumerate.h"
#include "startup/registry_text.h"
#include "startup/startup_sources.h"

void ReadRunEntries(int nSource)
{
    const StartupSource* pSource = FindSourceByCode(nSource);
    if (!pSource || IsShortcutSource(*pSource))
        return;
    RegistryTextBuffer data;
    ReadKeyValues(pSource->hRoot, pSource->pszRunKey, pSource->samRunView, reinterpret_cast<BYTE*>(data.sz),
                  kRegistryTextBytes, [&](LPCWSTR pszName, DWORD dwType, DWORD cbData) {
                      if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
                          return;
                      STARTUPITEMS item{};
                      if (!TakeRegistryText(data, cbData, item.strCommand))
                          return;
                      item.strName = pszName;
                      item.nEnabled = 1;
                      item.nSource = nSource;
                      AppendStartupItem(item);
                  });
}
