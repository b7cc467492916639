// Replaces one entry of a loaded module's import address table for the life of the
// object: the way tests take control of platform calls (memory figures, sleeps, devices)
// without the product code knowing.
#pragma once
#include <windows.h>

namespace testing_support {

class ImportPatch {
public:
    // Patches the import of pszFunction from pszDll (DLL name compared without case) in
    // hModule. IsActive() tells whether the entry was found.
    ImportPatch(HMODULE hModule, const char* pszDll, const char* pszFunction, void* pReplacement);
    // Replaces any other slot of a function pointer: a COM class's method table, say.
    ImportPatch(void** pSlot, void* pReplacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool IsActive() const { return m_pSlot != nullptr; }
    // The function the entry held before: call it to pass a call on.
    template <class F>
    F Original() const
    {
        return reinterpret_cast<F>(m_pOriginal);
    }

private:
    void** m_pSlot = nullptr;
    void* m_pOriginal = nullptr;
};

// The import slot of pszFunction from pszDll in hModule, or nullptr.
void** FindImportSlot(HMODULE hModule, const char* pszDll, const char* pszFunction);

}  // namespace testing_support
