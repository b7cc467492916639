// Brimwell: the complete memory optimisation run. Marks the run as started, trims every
// working set, lets the system settle, reports how much physical memory became available
// and shows it through the notifier.
#include "frame/export.h"

#include <cstdlib>
#include <cstring>

#include "frame/data_folder.h"
#include "frame/decimal_text.h"
#include "frame/language.h"
#include "frame/notifier.h"
#include "frame/profile.h"

namespace {
// Time the system gets to hand the trimmed pages back before the second measurement.
constexpr DWORD kSettleMilliseconds = 7000;
constexpr ULONGLONG kMegabyte = 1ull << 20;
constexpr ULONGLONG kGigabyte = 1ull << 30;

static_assert(sizeof(MEMORYSTATUSEX) == 64, "the status record is 64 bytes at both pointer sizes");

ULONGLONG AvailablePhysicalMemory()
{
    MEMORYSTATUSEX status;
    memset(&status, 0, sizeof(status));
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status.ullAvailPhys;
}

// Text of a memory gain: whole kilobytes below 1 MB, otherwise megabytes or gigabytes
// with two decimals, right-aligned in a field of 7 ("%7.2f KB" and so on).
CString FormatMemoryGain(ULONGLONG ullGain)
{
    constexpr int kWidth = 7;
    if (ullGain < kMegabyte)
        return HundredthsText(ullGain / 1024, 1, kWidth) + L" KB";
    if (ullGain < kGigabyte)
        return HundredthsText(ullGain, kMegabyte, kWidth) + L" MB";
    return HundredthsText(ullGain, kGigabyte, kWidth) + L" GB";
}

void RunMemoryOptimisation()
{
    CString strResultFile = GetDataFilePath(kResultFileName);
    int nPasses = _wtoi(SettingText(kOptimizerSection, L"IDS_MEM_TO_FREE"));
    WriteResultValue(strResultFile, L"IDS_CLOUD_MEMOPT_STATUS", L"1");

    ULONGLONG ullAvailBefore = AvailablePhysicalMemory();
    ReleaseFreeMemoryOfSytem(nPasses);
    Sleep(kSettleMilliseconds);
    ULONGLONG ullAvailAfter = AvailablePhysicalMemory();

    // Without a gain the amount keys keep what an earlier run wrote.
    CString strAmount;
    if (ullAvailAfter > ullAvailBefore) {
        strAmount = FormatMemoryGain(ullAvailAfter - ullAvailBefore);
        WriteResultValue(strResultFile, L"IDS_CLOUD_MEMOPT", strAmount);
        WriteResultValue(strResultFile, L"IDS_CLOUD_MEMOPT_STATUS", L"2");
    }

    ResolveLanguageFile();
    CString strMessage = strAmount + L" " + CString(LanguageShortText(kOptimizerSection, L"IDS_CLOUD_TEXT"));
    CString strTitle = LanguageShortText(kOptimizerSection, L"IDS_BRIMWELL");
    ShowCloudPopup(strResultFile, strTitle, strMessage);
}
}  // namespace

WENDLE_API void __cdecl Brimwell()
{
    RunExportInLibraryState([] { RunMemoryOptimisation(); });
}
