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

// Writes the value for the entry into the source's key. Disabling creates the key where
// it is missing (Windows makes these keys only once something was disabled, and the
// listing creates nothing); enabling never does: without the key nothing is disabled.
enum class ApprovalKey { Open, Create };
bool WriteApprovalValue(const StartupSource& source, const CString& strName, const BYTE (&abValue)[kApprovalValueLength],
                        ApprovalKey how)
{
    CString strValueName;
    if (!strValueName.Format(L"%s%s", strName.GetString(), ApprovalValueSuffix(source)))
        return false;
    const REGSAM samAccess = KEY_SET_VALUE | source.samApprovedView;
    win32::UniqueKey key;
    const LONG status = how == ApprovalKey::Create
                            ? RegCreateKeyExW(source.hRoot, source.pszApprovedKey, 0, nullptr, REG_OPTION_NON_VOLATILE, samAccess,
                                              nullptr, key.put(), nullptr)
                            : RegOpenKeyExW(source.hRoot, source.pszApprovedKey, 0, samAccess, key.put());
    return status == ERROR_SUCCESS &&
           RegSetValueExW(key.get(), strValueName, 0, REG_BINARY, abValue, kApprovalValueLength) == ERROR_SUCCESS;
}
}  // namespace

bool EnableApproved(STARTUPACTIONRECORD& record, const StartupSource& source, int flag)
{
    const BYTE abValue[kApprovalValueLength] = {kApprovalEnabled};
    if (!WriteApprovalValue(source, record.strName, abValue, ApprovalKey::Open))
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
    if (!WriteApprovalValue(source, record.strName, abValue, ApprovalKey::Create))
        return false;
    record.nEnabled = 0;
    record.nSource = source.nApprovedSource;
    return true;
}
