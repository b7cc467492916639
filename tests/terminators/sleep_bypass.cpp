#include "sleep_bypass.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace terminator_tests {
namespace {

// RVAs in the image of the import-name-table and import-address-table entries of
// kernel32!Sleep, read from the file (the loaded image is not yet bound).
struct SleepImport {
    ULONG_PTR nNameEntry = 0;
    ULONG_PTR nAddressEntry = 0;
    ULONG_PTR nPreferredBase = 0;
};

bool FindSleepImport(const std::wstring& strPath, SleepImport& import)
{
    std::ifstream in(strPath.c_str(), std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto at = [&](size_t nOffset, size_t nLength) -> const char* {
        return nOffset + nLength <= file.size() ? file.data() + nOffset : nullptr;
    };
    const auto* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (!pDos || pDos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const auto* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(static_cast<size_t>(pDos->e_lfanew), sizeof(IMAGE_NT_HEADERS)));
    if (!pNt || pNt->Signature != IMAGE_NT_SIGNATURE || pNt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return false;  // the test program and the program under test share their bitness
    import.nPreferredBase = static_cast<ULONG_PTR>(pNt->OptionalHeader.ImageBase);
    const IMAGE_SECTION_HEADER* pSections = IMAGE_FIRST_SECTION(pNt);
    auto fileOffset = [&](DWORD nRva) -> size_t {
        for (WORD i = 0; i < pNt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = pSections[i];
            if (nRva >= s.VirtualAddress && nRva < s.VirtualAddress + s.SizeOfRawData)
                return nRva - s.VirtualAddress + s.PointerToRawData;
        }
        return file.size();
    };
    DWORD nImports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t nDesc = fileOffset(nImports);; nDesc += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* pDesc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(nDesc, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (!pDesc || pDesc->Name == 0)
            return false;
        const char* pszDll = at(fileOffset(pDesc->Name), 1);
        if (!pszDll || _stricmp(pszDll, "kernel32.dll") != 0 || pDesc->OriginalFirstThunk == 0)
            continue;
        for (DWORD nIndex = 0;; ++nIndex) {
            DWORD nEntry = pDesc->OriginalFirstThunk + nIndex * static_cast<DWORD>(sizeof(ULONG_PTR));
            const auto* pThunk = reinterpret_cast<const ULONG_PTR*>(at(fileOffset(nEntry), sizeof(ULONG_PTR)));
            if (!pThunk || *pThunk == 0)
                break;
            if (*pThunk & IMAGE_ORDINAL_FLAG)
                continue;
            const char* pszName = at(fileOffset(static_cast<DWORD>(*pThunk)) + 2, 1);
            if (pszName && strcmp(pszName, "Sleep") == 0) {
                import.nNameEntry = nEntry;
                import.nAddressEntry = pDesc->FirstThunk + nIndex * sizeof(ULONG_PTR);
                return true;
            }
        }
    }
}

bool Write(HANDLE hProcess, ULONG_PTR nAddress, const void* pData, SIZE_T cb)
{
    DWORD dwOld = 0;
    void* pTarget = reinterpret_cast<void*>(nAddress);
    if (!VirtualProtectEx(hProcess, pTarget, cb, PAGE_READWRITE, &dwOld))
        return false;
    SIZE_T cbWritten = 0;
    BOOL bOk = WriteProcessMemory(hProcess, pTarget, pData, cb, &cbWritten) && cbWritten == cb;
    VirtualProtectEx(hProcess, pTarget, cb, dwOld, &dwOld);
    return bOk != FALSE;
}

// The DOS stub's message, unused once a program runs, takes the new name.
constexpr ULONG_PTR kNameRva = 0x40;
const char kReplacement[] = "\0\0SetLastError";  // hint 0, then the name and its terminator

bool RenameSleepImport(HANDLE hProcess, const SleepImport& import)
{
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQueryEx(hProcess, reinterpret_cast<void*>(import.nPreferredBase), &info, sizeof(info)) || info.Type != MEM_IMAGE ||
        reinterpret_cast<ULONG_PTR>(info.AllocationBase) != import.nPreferredBase)
        return false;  // not loaded at its preferred base: leave it alone
    ULONG_PTR nBase = import.nPreferredBase;
    ULONG_PTR nThunk = kNameRva;
    return Write(hProcess, nBase + kNameRva, kReplacement, sizeof(kReplacement)) &&
           Write(hProcess, nBase + import.nNameEntry, &nThunk, sizeof(nThunk)) &&
           Write(hProcess, nBase + import.nAddressEntry, &nThunk, sizeof(nThunk));
}

}  // namespace

bool StartWithoutSleeps(const std::wstring& strPath, std::wstring strCommandLine, const std::wstring& strFolder,
                        win32::UniqueHandle& hProcess)
{
    SleepImport import;
    if (!FindSleepImport(strPath, import))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(strPath.c_str(), &strCommandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, strFolder.c_str(),
                        &startup, &info))
        return false;
    win32::UniqueHandle hStarted(info.hProcess);
    win32::UniqueHandle hThread(info.hThread);
    if (!RenameSleepImport(hStarted.get(), import)) {
        TerminateProcess(hStarted.get(), 1);
        return false;
    }
    ResumeThread(hThread.get());
    hProcess = std::move(hStarted);
    return true;
}

}  // namespace terminator_tests
