#include "common/com_library.h"

namespace {
template <class F>
bool Resolve(HMODULE hModule, const char* pszName, F& pfn)
{
    pfn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
    return pfn != nullptr;
}
}  // namespace

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
    if (Resolve(hOle, "CoInitialize", CoInitialize) && Resolve(hOle, "CoInitializeEx", CoInitializeEx) &&
        Resolve(hOle, "CoUninitialize", CoUninitialize) && Resolve(hOle, "CoInitializeSecurity", CoInitializeSecurity) &&
        Resolve(hOle, "CoCreateInstance", CoCreateInstance) && Resolve(hOle, "CoTaskMemAlloc", CoTaskMemAlloc) &&
        Resolve(hOle, "CoTaskMemFree", CoTaskMemFree) && Resolve(hAut, "SysAllocString", SysAllocString) &&
        Resolve(hAut, "SysFreeString", SysFreeString) && Resolve(hAut, "VariantInit", VariantInit) &&
        Resolve(hAut, "VariantClear", VariantClear))
        return true;
    m_oleaut32.reset();
    m_ole32.reset();
    return false;
}
