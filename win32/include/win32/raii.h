// Small owners for Windows handles, registry keys, heap blocks and COM objects, so that
// every path closes what it opened. Header-only: each module compiles its own copy.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

namespace win32 {

// Owner of a value that some function releases; Invalid() names the "none" value.
template <class T, class Traits>
class Unique {
public:
    Unique() = default;
    explicit Unique(T value) : m_value(value) {}
    ~Unique() { reset(); }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : m_value(other.release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const { return m_value; }
    explicit operator bool() const { return m_value != Traits::Invalid(); }
    // For out-parameters: releases the current value first.
    T* put()
    {
        reset();
        return &m_value;
    }
    T release()
    {
        T value = m_value;
        m_value = Traits::Invalid();
        return value;
    }
    void reset(T value = Traits::Invalid())
    {
        if (m_value != Traits::Invalid())
            Traits::Close(m_value);
        m_value = value;
    }

private:
    T m_value = Traits::Invalid();
};

struct HandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// CreateFileW and Tool Help snapshots answer INVALID_HANDLE_VALUE for "none".
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct HeapBlockTraits {
    static void* Invalid() { return nullptr; }
    static void Close(void* p) { HeapFree(GetProcessHeap(), 0, p); }
};
struct CoTaskMemTraits {
    static void* Invalid() { return nullptr; }
    static void Close(void* p) { CoTaskMemFree(p); }
};
struct BstrTraits {
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR b) { SysFreeString(b); }
};

using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueFile = Unique<HANDLE, FileHandleTraits>;
using UniqueSnapshot = Unique<HANDLE, FileHandleTraits>;
using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueModule = Unique<HMODULE, ModuleTraits>;
using UniqueFind = Unique<HANDLE, FindTraits>;
using UniqueHeapBlock = Unique<void*, HeapBlockTraits>;
using UniqueCoTaskMem = Unique<void*, CoTaskMemTraits>;
using UniqueBstr = Unique<BSTR, BstrTraits>;

// COM interface pointer that releases on destruction and on replace().
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases the current object first.
    T** replace()
    {
        reset();
        return &m_p;
    }
    void** replace_void() { return reinterpret_cast<void**>(replace()); }
    void reset()
    {
        if (m_p) {
            m_p->Release();
            m_p = nullptr;
        }
    }

private:
    T* m_p = nullptr;
};

// A VARIANT that is cleared on destruction.
class Variant {
public:
    Variant() { VariantInit(&m_v); }
    ~Variant() { VariantClear(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* put()
    {
        VariantClear(&m_v);
        return &m_v;
    }
    const VARIANT& get() const { return m_v; }

private:
    VARIANT m_v;
};

// Balances a successful CoInitialize/CoInitializeEx with CoUninitialize.
class ComInitGuard {
public:
    explicit ComInitGuard(HRESULT hr) : m_bInitialized(SUCCEEDED(hr)) {}
    ~ComInitGuard()
    {
        if (m_bInitialized)
            CoUninitialize();
    }
    ComInitGuard(const ComInitGuard&) = delete;
    ComInitGuard& operator=(const ComInitGuard&) = delete;
    bool initialized() const { return m_bInitialized; }

private:
    bool m_bInitialized;
};

}  // namespace win32
