// ReleaseFreeMemoryOfSytem: asks Windows to take as many pages as it can out of every
// process's working set, so that physical memory shows as available.
#include "frame/export.h"

#include <psapi.h>

#include "win32/raii.h"

namespace {
// At most 1024 processes a pass: the identifier list is a fixed 4096-byte stack buffer.
constexpr DWORD kProcessListLength = 4096;
// PROCESS_ALL_ACCESS as Windows Vista and later define it. Windows XP and Server 2003
// refuse any mask with bits outside their own 0x001F0FFF with ERROR_ACCESS_DENIED.
constexpr DWORD kAllAccessVista = 0x001FFFFF;

// All access first; where that is refused, just the right the trim needs, so that the
// trim also works on Windows XP and Server 2003.
HANDLE OpenForTrim(DWORD dwProcessId)
{
    HANDLE hProcess = OpenProcess(kAllAccessVista, FALSE, dwProcessId);
    if (!hProcess && GetLastError() == ERROR_ACCESS_DENIED)
        hProcess = OpenProcess(PROCESS_SET_QUOTA, FALSE, dwProcessId);
    return hProcess;
}
}  // namespace

namespace {
void ReleaseWorkingSets(int nPasses)
{
    for (int nPass = 0; nPass < nPasses; ++nPass) {
        DWORD adwProcessIds[kProcessListLength / sizeof(DWORD)];
        DWORD cbFilled = 0;
        if (!EnumProcesses(adwProcessIds, kProcessListLength, &cbFilled)) {
            GetLastError();
            return;
        }
        DWORD nCount = cbFilled / sizeof(DWORD);
        if (nCount > kProcessListLength / sizeof(DWORD))
            nCount = kProcessListLength / sizeof(DWORD);
        for (DWORD i = 0; i < nCount; ++i) {
            win32::UniqueHandle process(OpenForTrim(adwProcessIds[i]));
            if (!process)
                continue;  // ended, protected or another user's
            // Minimum and maximum both (SIZE_T)-1: trim as far as the system can.
            if (!SetProcessWorkingSetSize(process.get(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1)))
                GetLastError();
        }
    }
}
}  // namespace

WENDLE_API void __cdecl ReleaseFreeMemoryOfSytem(int nPasses)
{
    RunExport([&] { ReleaseWorkingSets(nPasses); });
}
