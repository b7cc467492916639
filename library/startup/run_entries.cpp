#include "startup/run_entries.h"

#include "frame/module_objects.h"
#include "startup/counted_key.h"
#include "startup/enumerate.h"
#include "startup/locations.h"
#include "startup/registry_text.h"
#include "win32/raii.h"

namespace {
// Value names are read into 260 characters, terminator included.
constexpr DWORD kValueNameChars = 260;
}

void ReadRunEntries(int nSource)
{
    const RunLocation* pLocation = FindRunLocation(nSource);
    if (!pLocation)
        return;
    win32::UniqueKey key;
    DWORD nValues = 0, nSubkeys = 0;
    if (!CreateCountedKey(pLocation->hRoot, kRunKey, KEY_ALL_ACCESS | pLocation->samView, key, nValues, nSubkeys))
        return;
    for (DWORD i = 0; i < nValues; ++i) {
        wchar_t szName[kValueNameChars + 1];
        DWORD cchName = kValueNameChars;
        RegistryTextBuffer data;
        DWORD cbData = kRegistryTextBytes;
        DWORD dwType = 0;
        if (RegEnumValueW(key.get(), i, szName, &cchName, nullptr, &dwType, reinterpret_cast<BYTE*>(data.sz), &cbData) !=
            ERROR_SUCCESS)
            continue;
        if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
            continue;
        STARTUPITEMS item{};
        if (!TakeRegistryText(data, cbData, item.strCommand))
            continue;
        szName[cchName < kValueNameChars ? cchName : kValueNameChars] = L'\0';
        item.strName = szName;
        item.nEnabled = 1;
        item.nSource = nSource;
        AppendStartupItem(item);
    }
}
