#include "testing/import_patch.h"

#include <cstring>

namespace testing_support {
namespace {
void WriteSlot(void** pSlot, void* pValue)
{
    DWORD dwOld = 0;
    VirtualProtect(pSlot, sizeof(void*), PAGE_READWRITE, &dwOld);
    *pSlot = pValue;
    VirtualProtect(pSlot, sizeof(void*), dwOld, &dwOld);
}
}  // namespace

void** FindImportSlot(HMODULE hModule, const char* pszDll, const char* pszFunction)
{
    auto* pBase = reinterpret_cast<BYTE*>(hModule);
    auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
    if (!pBase || pDos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return nullptr;
    for (auto* pDesc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dir.VirtualAddress); pDesc->Name; ++pDesc) {
        if (_stricmp(reinterpret_cast<char*>(pBase + pDesc->Name), pszDll) != 0)
            continue;
        auto* pNames = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + (pDesc->OriginalFirstThunk ? pDesc->OriginalFirstThunk : pDesc->FirstThunk));
        auto* pSlots = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDesc->FirstThunk);
        for (; pNames->u1.AddressOfData; ++pNames, ++pSlots) {
            if (IMAGE_SNAP_BY_ORDINAL(pNames->u1.Ordinal))
                continue;
            auto* pName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(pBase + pNames->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(pName->Name), pszFunction) == 0)
                return reinterpret_cast<void**>(&pSlots->u1.Function);
        }
    }
    return nullptr;
}

ImportPatch::ImportPatch(HMODULE hModule, const char* pszDll, const char* pszFunction, void* pReplacement)
    : ImportPatch(FindImportSlot(hModule, pszDll, pszFunction), pReplacement)
{
}

ImportPatch::ImportPatch(void** pSlot, void* pReplacement) : m_pSlot(pSlot)
{
    if (m_pSlot) {
        m_pOriginal = *m_pSlot;
        WriteSlot(m_pSlot, pReplacement);
    }
}

ImportPatch::~ImportPatch()
{
    if (m_pSlot)
        WriteSlot(m_pSlot, m_pOriginal);
}

}  // namespace testing_support
