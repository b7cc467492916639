#include "common/com_library.h"

#include "win32/proc_address.h"

using win32::ResolveProc;

const ComLibrary* ComLibrary::ForProcess()
{
    static ComLibrary com;
    static const bool bLoaded = com.Load();
    return bLoaded ? &com : nullptr;
}

bool ComLibrary::Load()
{
    // Both are known DLLs of every Windows: the bare names load the system's own copies,
    // never a file of that name beside the program. They are never freed (see the header).
    HMODULE hOle = LoadLibraryW(L"ole32.dll");
    HMODULE hAut = hOle ? LoadLibraryW(L"oleaut32.dll") : nullptr;
    return hAut && ResolveProc(hOle, "CoInitialize", CoInitialize) && ResolveProc(hOle, "CoInitializeEx", CoInitializeEx) &&
           ResolveProc(hOle, "CoUninitialize", CoUninitialize) && ResolveProc(hOle, "CoInitializeSecurity", CoInitializeSecurity) &&
           ResolveProc(hOle, "CoCreateInstance", CoCreateInstance) && ResolveProc(hOle, "CoTaskMemAlloc", CoTaskMemAlloc) &&
           ResolveProc(hOle, "CoTaskMemFree", CoTaskMemFree) && ResolveProc(hAut, "SysAllocString", SysAllocString) &&
           ResolveProc(hAut, "SysFreeString", SysFreeString) && ResolveProc(hAut, "VariantInit", VariantInit) &&
           ResolveProc(hAut, "VariantClear", VariantClear);
}
