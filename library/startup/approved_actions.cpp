// The StartupApproved keys: the entry stays in place and a 12-byte value marks it
// enabled (state 2, no time) or disabled (state 3 and the moment of disabling, UTC).
#include "startup/actions.h"

#include "frame/app.h"
#include "startup/startup_sources.h"
#include "win32/raii.h"

namespace {
constexpr DWORD kApprovalValueLength = 12;
constexpr BYTE kApprovalEnabled = 2;
constexpr BYTE kApprovalDisabled = 3;

// Opens (never creates) the source's key and writes the value for the entry.
bool WriteApprovalValue(const StartupSource& source, const CString& strName, const BYTE (&abValue)[kApprovalValueLength])
{
    CString strValueName;
    if (!strValueName.Format(L"%s%s", strName.GetString(), ApprovalValueSuffix(source)))
        return false;
    win32::UniqueKey key;
    if (RegOpenKeyExW(source.hRoot, source.pszApprovedKey, 0, KEY_ALL_ACCESS | source.samApprovedView, key.put()) !=
        ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), strValueName, 0, REG_BINARY, abValue, kApprovalValueLength) ==
           ERROR_SUCCESS;
}
}  // namespace

bool EnableApproved(STARTUPACTIONRECORD& record, const StartupSource& source, int flag)
{
    const BYTE abValue[kApprovalValueLength] = {kApprovalEnabled};
    if (!WriteApprovalValue(source, record.strName, abValue))
        return false;
    record.nEnabled = flag;
    record.nSource = source.nSource;
    return true;
}

bool DisableApproved(STARTUPACTIONRECORD& record, const StartupSource& source)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ftNow;
    if (!SystemTimeToFileTime(&now, &ftNow))
        return false;
    BYTE abValue[kApprovalValueLength] = {kApprovalDisabled};
    for (int i = 0; i < 4; ++i) {
        abValue[4 + i] = static_cast<BYTE>(ftNow.dwLowDateTime >> (8 * i));
        abValue[8 + i] = static_cast<BYTE>(ftNow.dwHighDateTime >> (8 * i));
    }
    if (!WriteApprovalValue(source, record.strName, abValue))
        return false;
    record.nEnabled = 0;
    record.nSource = source.nApprovedSource;
    return true;
}
