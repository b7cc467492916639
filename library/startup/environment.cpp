#include "startup/environment.h"

#include <windows.h>

bool UsesApprovedStore()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);  // on failure the zeroed record reads as minor version 0
    return info.dwMinorVersion >= 2;
}

bool IsWow64()
{
    BOOL bWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &bWow64) && bWow64;
}
