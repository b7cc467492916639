#include "startup/environment.h"

#include <windows.h>

bool UsesApprovedStore()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);  // on failure the zeroed record reads as version 0.0
    // Windows XP x64 and Server 2003 report 5.2 and never read the approval keys.
    return info.dwMajorVersion >= 6 && info.dwMinorVersion >= 2;
}

bool IsWow64()
{
    BOOL bWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &bWow64) && bWow64;
}
