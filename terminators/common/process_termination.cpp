#include "common/process_termination.h"

#include <tlhelp32.h>

#include <cstdlib>

#include "common/data_file.h"
#include "common/kill_list.h"
#include "common/name_match.h"
#include "win32/raii.h"

namespace {
// PROCESS_ALL_ACCESS as Windows Vista and later define it; XP refuses this mask, so
// there the next attempt of the open ladder takes over.
constexpr DWORD kAllAccessVista = 0x001FFFFF;
constexpr UINT kSweepExitCode = 9;

enum class Variant { Culvane, Brenholt };

// Hands every process entry of a new snapshot to visit, in snapshot order; nothing when
// no snapshot or no first entry can be had.
template <class Visit>
void ForEachProcessEntry(DWORD dwFlags, Visit visit)
{
    win32::UniqueSnapshot hSnapshot(CreateToolhelp32Snapshot(dwFlags, 0));
    if (!hSnapshot)
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(hSnapshot.get(), &entry))
        return;
    do {
        visit(entry);
    } while (Process32NextW(hSnapshot.get(), &entry));
}

win32::UniqueHandle OpenForTermination(DWORD dwProcessId, Variant variant)
{
    win32::UniqueHandle hProcess(OpenProcess(kAllAccessVista, FALSE, dwProcessId));
    if (!hProcess)
        hProcess.reset(OpenProcess(PROCESS_TERMINATE, TRUE, dwProcessId));
    if (!hProcess && variant == Variant::Brenholt)
        hProcess.reset(OpenProcess(PROCESS_TERMINATE, FALSE, dwProcessId));
    return hProcess;
}

// Terminates with the process's own current exit code; a handle without query access
// cannot read it, and then the code of a clean end is passed.
bool TerminateWithCurrentCode(HANDLE hProcess)
{
    DWORD dwCode = 0;
    if (!GetExitCodeProcess(hProcess, &dwCode))
        dwCode = 0;
    return TerminateProcess(hProcess, dwCode) != FALSE;
}

// hProcess may be replaced by a fresh handle; the caller closes whichever it holds.
void RunTerminationLadder(win32::UniqueHandle& hProcess, const PROCESSENTRY32W& entry, Variant variant)
{
    if (TerminateProcess(hProcess.get(), 0) || TerminateWithCurrentCode(hProcess.get()))
        return;
    if (variant == Variant::Culvane)
        return;
    hProcess.reset(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
    if (!hProcess)
        return;
    if (TerminateProcess(hProcess.get(), 0) || TerminateWithCurrentCode(hProcess.get()))
        return;
    TerminateProcessesByName(entry.szExeFile);
}

bool IsOnKillList(const KillListCopy& list, const wchar_t* pszExeName)
{
    for (int i = 0; i < kKillListRows; ++i) {
        if (NamesEqualAsciiNoCase(pszExeName, list.aszName[i]))
            return true;  // the first matching row decides: one termination per process
    }
    return false;
}

void WalkProcesses(Variant variant)
{
    KillListCopy list;
    ForEachProcessEntry(TH32CS_SNAPPROCESS, [&](const PROCESSENTRY32W& entry) {
        // Every process is opened before its name is looked at.
        win32::UniqueHandle hProcess = OpenForTermination(entry.th32ProcessID, variant);
        if (hProcess && IsOnKillList(list, entry.szExeFile))
            RunTerminationLadder(hProcess, entry, variant);
    });
}
}  // namespace

#if !defined(_WIN64)
static_assert(sizeof(PROCESSENTRY32W) == 556, "PROCESSENTRY32W has its documented size");
#endif

void TerminateProductProcessesCulvane()
{
    if (ReadDataValue(GetDataFilePath(L"xmlka.dat"), L"IDS_DONT_KILL").CompareNoCase(L"1") == 0)
        exit(0);  // the runtime's normal exit: nothing touched, the command goes no further
    WalkProcesses(Variant::Culvane);
}

void TerminateProductProcessesBrenholt() { WalkProcesses(Variant::Brenholt); }

void TerminateProcessesByName(const wchar_t* pszExeName)
{
    ForEachProcessEntry(TH32CS_SNAPALL, [&](const PROCESSENTRY32W& entry) {
        if (!NamesEqualAsciiNoCase(entry.szExeFile, pszExeName))
            return;
        win32::UniqueHandle hProcess(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (hProcess)
            TerminateProcess(hProcess.get(), kSweepExitCode);
    });
}
