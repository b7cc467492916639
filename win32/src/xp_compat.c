/* The static thread library of the toolchain imports GetTickCount64, which Windows XP
 * lacks (it arrived with Vista). Defining its import slot here makes every binary look
 * the function up at run time instead, falling back to GetTickCount on XP. */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

typedef ULONGLONG(WINAPI* GetTickCount64Function)(void);

static ULONGLONG WINAPI GetTickCount64OrFallback(void)
{
    static GetTickCount64Function pfnGetTickCount64;
    static BOOL bLookedUp;
    if (!bLookedUp) {
        pfnGetTickCount64 = (GetTickCount64Function)(void (*)(void))GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64");
        bLookedUp = TRUE;
    }
    return pfnGetTickCount64 ? pfnGetTickCount64() : GetTickCount();
}

#if defined(_WIN64)
GetTickCount64Function __imp_GetTickCount64 = GetTickCount64OrFallback;
#else
GetTickCount64Function tessary_GetTickCount64_slot __asm__("__imp__GetTickCount64@0") = GetTickCount64OrFallback;
#endif
