// The COM and automation functions of scheduled task removal, taken from ole32.dll and
// oleaut32.dll when the first removal runs. Ending processes ("LM", "XTQ") never touches
// COM, so the programs do not import these libraries and do not pay for loading them at
// every start; only the commands that remove tasks load them. Once loaded they stay until
// the process ends: COM may keep threads and RPC state past CoUninitialize, and unloading
// it under them is not supported and can crash.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "win32/raii.h"

class ComLibrary {
public:
    // The process's one copy, loaded by its first use; nullptr when a library or one of
    // the functions below is missing. Both libraries are part of every Windows, so that
    // only happens when memory runs out.
    static const ComLibrary* ForProcess();

    HRESULT(WINAPI* CoInitialize)(LPVOID pvReserved) = nullptr;
    HRESULT(WINAPI* CoInitializeEx)(LPVOID pvReserved, DWORD dwCoInit) = nullptr;
    void(WINAPI* CoUninitialize)() = nullptr;
    HRESULT(WINAPI* CoInitializeSecurity)(PSECURITY_DESCRIPTOR pSecDesc, LONG cAuthSvc, SOLE_AUTHENTICATION_SERVICE* asAuthSvc,
                                          void* pReserved1, DWORD dwAuthnLevel, DWORD dwImpLevel, void* pAuthList,
                                          DWORD dwCapabilities, void* pReserved3) = nullptr;
    HRESULT(WINAPI* CoCreateInstance)(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) = nullptr;
    LPVOID(WINAPI* CoTaskMemAlloc)(SIZE_T cb) = nullptr;
    void(WINAPI* CoTaskMemFree)(LPVOID pv) = nullptr;
    BSTR(WINAPI* SysAllocString)(const OLECHAR* psz) = nullptr;
    void(WINAPI* SysFreeString)(BSTR bstr) = nullptr;
    void(WINAPI* VariantInit)(VARIANTARG* pvarg) = nullptr;
    HRESULT(WINAPI* VariantClear)(VARIANTARG* pvarg) = nullptr;

private:
    bool Load();
};

// Balances a successful CoInitialize or CoInitializeEx with CoUninitialize.
class ComApartment {
public:
    ComApartment(const ComLibrary& com, HRESULT hr) : m_com(com), m_bInitialized(SUCCEEDED(hr)) {}
    ~ComApartment()
    {
        if (m_bInitialized)
            m_com.CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool initialized() const { return m_bInitialized; }

private:
    const ComLibrary& m_com;
    bool m_bInitialized;
};

// A BSTR freed with SysFreeString.
class ComBstr {
public:
    ComBstr(const ComLibrary& com, BSTR bstr = nullptr) : m_com(com), m_bstr(bstr) {}
    ~ComBstr() { reset(); }
    ComBstr(const ComBstr&) = delete;
    ComBstr& operator=(const ComBstr&) = delete;
    BSTR get() const { return m_bstr; }
    explicit operator bool() const { return m_bstr != nullptr; }
    // For out-parameters: frees the current string first.
    BSTR* put()
    {
        reset();
        return &m_bstr;
    }
    void reset()
    {
        if (m_bstr)
            m_com.SysFreeString(m_bstr);
        m_bstr = nullptr;
    }

private:
    const ComLibrary& m_com;
    BSTR m_bstr;
};

// A VARIANT initialised on construction and cleared on destruction.
class ComVariant {
public:
    explicit ComVariant(const ComLibrary& com) : m_com(com) { m_com.VariantInit(&m_v); }
    ~ComVariant() { m_com.VariantClear(&m_v); }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;
    VARIANT& get() { return m_v; }

private:
    const ComLibrary& m_com;
    VARIANT m_v;
};

// A block from CoTaskMemAlloc, or one a COM call handed over, freed with CoTaskMemFree.
class ComTaskMemory {
public:
    ComTaskMemory(const ComLibrary& com, void* p) : m_com(com), m_p(p) {}
    ~ComTaskMemory()
    {
        if (m_p)
            m_com.CoTaskMemFree(m_p);
    }
    ComTaskMemory(const ComTaskMemory&) = delete;
    ComTaskMemory& operator=(const ComTaskMemory&) = delete;
    void* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    const ComLibrary& m_com;
    void* m_p;
};
