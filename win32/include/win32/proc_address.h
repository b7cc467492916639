// Functions looked up at run time in a loaded module: those newer than Windows XP, and
// those of DLLs loaded only when a feature needs them.
#pragma once
#include <windows.h>

namespace win32 {

// Looks pszName up in hModule into the typed pointer pfn; false when the module lacks it.
template <class F>
bool ResolveProc(HMODULE hModule, const char* pszName, F& pfn)
{
    pfn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
    return pfn != nullptr;
}

}  // namespace win32
