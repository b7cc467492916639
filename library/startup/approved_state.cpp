#include "startup/approved_state.h"

#include <cwchar>

#include "frame/module_objects.h"
#include "startup/counted_key.h"
#include "startup/startup_sources.h"

namespace {
// State (4 bytes) and the FILETIME of the disabling (8 bytes).
constexpr DWORD kApprovalBytes = 12;

// Only the time stamp decides: a disabled entry carries the moment it was disabled.
bool IsMarkedDisabled(const BYTE (&abData)[kApprovalBytes]) { return abData[5] != 0 || abData[7] != 0 || abData[9] != 0; }

// True when the value is named after the item: its name, then the source's suffix. Names
// compare up to their first null, as the framework's strings do.
bool IsValueOf(const StartupSource& source, const CString& strName, LPCWSTR pszValueName)
{
    LPCWSTR pszName = strName.GetString();
    const size_t nLength = wcslen(pszName);
    return wcsncmp(pszName, pszValueName, nLength) == 0 && wcscmp(pszValueName + nLength, ApprovalValueSuffix(source)) == 0;
}

void MarkFirstMatch(const StartupSource& source, LPCWSTR pszValueName)
{
    for (int i = 0; i < g_startupItems.GetSize(); ++i) {
        STARTUPITEMS& item = g_startupItems[i];
        if (item.nSource == source.nSource && IsValueOf(source, item.strName, pszValueName)) {
            item.nEnabled = 0;
            item.nSource = source.nApprovedSource;
            return;
        }
    }
}
}  // namespace

void ApplyApprovedState(int nPassSource)
{
    const StartupSource* pSource = FindSourceByApprovedCode(nPassSource);
    if (!pSource)
        return;
    BYTE abData[kApprovalBytes];
    ReadKeyValues(pSource->hRoot, pSource->pszApprovedKey, pSource->samApprovedView, abData,
                  kApprovalBytes, [&](LPCWSTR pszName, DWORD dwType, DWORD) {
                      if (dwType == REG_BINARY && IsMarkedDisabled(abData))
                          MarkFirstMatch(*pSource, pszName);
                  });
}
