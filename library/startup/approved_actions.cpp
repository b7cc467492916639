// The StartupApproved keys: the entry stays in place and a 12-byte value marks it
// enabled (state 2, no time) or disabled (state 3 and the moment of disabling, UTC).
#include "startup/actions.h"

#include "frame/module_objects.h"
#include "startup/locations.h"
#include "win32/raii.h"

namespace {
constexpr DWORD kApprovalValueLength = 12;
constexpr BYTE kApprovalEnabled = 2;
constexpr BYTE kApprovalDisabled = 3;

// Opens (never creates) the row's key and writes the value for the entry.
bool WriteApprovalValue(const ApprovedLocation& location, const BYTE (&abValue)[kApprovalValueLength])
{
    CString strKey;
    if (!strKey.Format(L"%s%s", kApprovedKeyPrefix, location.pszLastComponent))
        return false;
    win32::UniqueKey key;
    if (RegOpenKeyExW(location.hRoot, strKey, 0, KEY_ALL_ACCESS | location.samView, key.put()) != ERROR_SUCCESS)
        return false;
    CString strValueName = theApp.m_actionRecord.strName;
    if (location.bShortcut)
        strValueName += L".lnk";
    return RegSetValueExW(key.get(), strValueName, 0, REG_BINARY, abValue, kApprovalValueLength) == ERROR_SUCCESS;
}

const ApprovedLocation* FindLocationByDisabledCode(int nSource)
{
    const ApprovedLocation* pLocation = FindApprovedLocation(nSource);
    return pLocation && pLocation->nDisabledSource == nSource ? pLocation : nullptr;
}

const ApprovedLocation* FindLocationByEnabledCode(int nSource)
{
    const ApprovedLocation* pLocation = FindApprovedLocation(nSource);
    return pLocation && pLocation->nEnabledSource == nSource ? pLocation : nullptr;
}
}  // namespace

void EnableApproved(int flag)
{
    STARTUPACTIONRECORD& record = theApp.m_actionRecord;
    const ApprovedLocation* pLocation = FindLocationByDisabledCode(record.nSource);
    if (!pLocation) {
        record.nEnabled = flag;  // an item that is not marked disabled only takes the flag
        return;
    }
    const BYTE abValue[kApprovalValueLength] = {kApprovalEnabled};
    if (!WriteApprovalValue(*pLocation, abValue))
        return;
    record.nEnabled = flag;
    record.nSource = pLocation->nEnabledSource;
}

void DisableApproved()
{
    STARTUPACTIONRECORD& record = theApp.m_actionRecord;
    const ApprovedLocation* pLocation = FindLocationByEnabledCode(record.nSource);
    if (!pLocation)
        return;
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ftNow;
    if (!SystemTimeToFileTime(&now, &ftNow))
        return;
    BYTE abValue[kApprovalValueLength] = {kApprovalDisabled};
    for (int i = 0; i < 4; ++i) {
        abValue[4 + i] = static_cast<BYTE>(ftNow.dwLowDateTime >> (8 * i));
        abValue[8 + i] = static_cast<BYTE>(ftNow.dwHighDateTime >> (8 * i));
    }
    if (!WriteApprovalValue(*pLocation, abValue))
        return;
    record.nEnabled = 0;
    record.nSource = pLocation->nDisabledSource;
}
