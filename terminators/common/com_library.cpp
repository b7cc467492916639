#include "common/com_library.h"

#include "win32/proc_address.h"

using win32::ResolveProc;

bool ComLibrary::Load()
{
    // Both are known DLLs of every Windows: the bare names load the system's own copies,
    // never a file of that name beside the program.
    m_ole32.reset(LoadLibraryW(L"ole32.dll"));
    if (m_ole32)
        m_oleaut32.reset(LoadLibraryW(L"oleaut32.dll"));
    if (!m_oleaut32) {
        m_ole32.reset();
        return false;
    }
    HMODULE hOle = m_ole32.get();
    HMODULE hAut = m_oleaut32.get();
    if (ResolveProc(hOle, "CoInitialize", CoInitialize) && ResolveProc(hOle, "CoInitializeEx", CoInitializeEx) &&
        ResolveProc(hOle, "CoUninitialize", CoUninitialize) && ResolveProc(hOle, "CoInitializeSecurity", CoInitializeSecurity) &&
        ResolveProc(hOle, "CoCreateInstance", CoCreateInstance) && ResolveProc(hOle, "CoTaskMemAlloc", CoTaskMemAlloc) &&
        ResolveProc(hOle, "CoTaskMemFree", CoTaskMemFree) && ResolveProc(hAut, "SysAllocString", SysAllocString) &&
        ResolveProc(hAut, "SysFreeString", SysFreeString) && ResolveProc(hAut, "VariantInit", VariantInit) &&
        ResolveProc(hAut, "VariantClear", VariantClear))
        return true;
    m_oleaut32.reset();
    m_ole32.reset();
    return false;
}
