#include "startup/approved_state.h"

#include "frame/module_objects.h"
#include "startup/counted_key.h"
#include "startup/locations.h"
#include "win32/raii.h"

namespace {
constexpr DWORD kValueNameChars = 260;
// State (4 bytes) and the FILETIME of the disabling (8 bytes).
constexpr DWORD kApprovalBytes = 12;

// Only the time stamp decides: a disabled entry carries the moment it was disabled.
bool IsMarkedDisabled(const BYTE (&abData)[kApprovalBytes]) { return abData[5] != 0 || abData[7] != 0 || abData[9] != 0; }

void MarkFirstMatch(const ApprovedLocation& location, const CString& strValueName)
{
    for (int i = 0; i < g_startupItems.GetSize(); ++i) {
        STARTUPITEMS& item = g_startupItems[i];
        if (item.nSource != location.nEnabledSource)
            continue;
        CString strEntry = location.bShortcut ? item.strName + L".lnk" : item.strName;
        if (strEntry == strValueName) {
            item.nEnabled = 0;
            item.nSource = location.nDisabledSource;
            return;
        }
    }
}
}  // namespace

void ApplyApprovedState(int nPassSource)
{
    const ApprovedLocation* pLocation = FindApprovedLocation(nPassSource);
    if (!pLocation || pLocation->nDisabledSource != nPassSource)
        return;
    CString strKey = CString(kApprovedKeyPrefix) + pLocation->pszLastComponent;
    win32::UniqueKey key;
    DWORD nValues = 0, nSubkeys = 0;
    if (!CreateCountedKey(pLocation->hRoot, strKey, KEY_ALL_ACCESS | pLocation->samView, key, nValues, nSubkeys))
        return;
    for (DWORD i = 0; i < nValues; ++i) {
        wchar_t szName[kValueNameChars + 1];
        DWORD cchName = kValueNameChars;
        BYTE abData[kApprovalBytes] = {};  // a shorter value leaves the rest zero
        DWORD cbData = kApprovalBytes;
        DWORD dwType = 0;
        if (RegEnumValueW(key.get(), i, szName, &cchName, nullptr, &dwType, abData, &cbData) != ERROR_SUCCESS)
            continue;
        if (dwType != REG_BINARY || !IsMarkedDisabled(abData))
            continue;
        szName[cchName < kValueNameChars ? cchName : kValueNameChars] = L'\0';
        MarkFirstMatch(*pLocation, szName);
    }
}
