// Running Culvane.exe and Brenholt.exe as the product does: copied with the framework
// into a folder of their own and started as separate processes, beside stand-ins for the
// product's programs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "win32/raii.h"

namespace terminator_tests {

// A scratch folder under %TEMP%, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& strName);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return m_strPath; }
    // The folder that holds every scratch folder.
    static std::wstring Root();

private:
    std::wstring m_strPath;
};

// Copies Culvane.exe, Brenholt.exe and framework.dll from the build into strFolder.
void InstallPrograms(const std::wstring& strFolder);
// Copies the stand-in program into strFolder as strName; returns its path.
std::wstring InstallStandin(const std::wstring& strFolder, const std::wstring& strName);

// A started stand-in that waits until something ends it.
struct WaitingProcess {
    std::wstring strName;
    win32::UniqueHandle hProcess;
    bool Ended(DWORD dwWaitMs) const { return WaitForSingleObject(hProcess.get(), dwWaitMs) == WAIT_OBJECT_0; }
    DWORD ExitCode() const;
};
// Starts the stand-in at strPath with "wait" and returns at once (no handle when it could
// not start); StartWaiting also waits until a process snapshot lists it.
WaitingProcess LaunchWaiting(const std::wstring& strPath);
WaitingProcess StartWaiting(const std::wstring& strPath);
// Ends what is still running.
void EndAll(std::vector<WaitingProcess>& processes);

// Runs strFolder\strProgram with strTail as its command-line tail under the Windows
// version pszVersion; returns its exit status (or ~0u when it could not start or hung).
// With bSkipPauses its Sleep calls return at once (where the import can be renamed).
DWORD RunProgram(const std::wstring& strFolder, const wchar_t* pszProgram, const std::wstring& strTail,
                 const wchar_t* pszVersion = L"win7", bool bSkipPauses = false);

// Sets one registry string value for the object's life, then puts back what was there.
class RegistryValueOverride {
public:
    RegistryValueOverride(HKEY hRoot, const std::wstring& strKey, const wchar_t* pszName, const std::wstring& strValue,
                          DWORD dwType = REG_SZ);
    ~RegistryValueOverride();
    RegistryValueOverride(const RegistryValueOverride&) = delete;
    RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;

private:
    HKEY m_hRoot;
    std::wstring m_strKey;
    std::wstring m_strName;
    std::vector<BYTE> m_previous;
    DWORD m_dwPreviousType = 0;
    bool m_bHadValue = false;
    bool m_bCreatedKey = false;
};

// "%APPDATA%\Tessary\Brimwell" and a data file in it; RemoveDataFolder deletes that
// folder (and "Tessary" when nothing else is left in it).
std::wstring DataFolder();
std::wstring DataFile(const wchar_t* pszName);
void RemoveDataFolder();
// Writes a data file's text as given (UTF-16), creating the folders.
void WriteDataFile(const wchar_t* pszName, const std::wstring& strText);
std::string ReadFileBytes(const std::wstring& strPath);

// Lines of a UTF-8 text file (stand-in records, the fake scheduler's journal).
std::vector<std::wstring> ReadLines(const std::wstring& strPath);
std::vector<std::wstring> Split(const std::wstring& strLine, wchar_t chSeparator);

}  // namespace terminator_tests
