// Shared helpers of the startup action tests: the environment the library sees, scratch
// registry values and shortcuts that each test makes and removes, and the calls.
#pragma once
#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "testing/cleanup.h"
#include "testing/import_patch.h"
#include "testing/library_host.h"
#include "testing/where.h"
#include "wendle.h"

namespace startup_test {

using testing_support::Where;

// Every entry these tests make is named "TessaryProbe<stem>_<case>", so that no two cases
// share one and the start of the program can sweep away what an interrupted run left
// (Run and approval values, shortcuts, backups in the backup folder, store entries).
constexpr const wchar_t* kProbePrefix = L"TessaryProbe";
const std::wstring& CaseName(const std::wstring& strStem);

// What the library decides from the process it runs in.
bool SeesApprovedStore();  // reported version 6.2 or higher with a minor version of 2 or more
bool SeesWow64();

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kApprovedPrefix = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
constexpr const wchar_t* kStartupReg = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupreg";
constexpr const wchar_t* kStartupFolderStore = L"SOFTWARE\\Microsoft\\Shared Tools\\MSConfig\\startupfolder";
constexpr const wchar_t* kBackupFolder = L"C:\\Windows\\pss";

// One registry value as stored.
struct RegValue {
    bool bPresent = false;
    DWORD dwType = 0;
    std::vector<BYTE> data;
};
RegValue ReadValue(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName);
// Names of a key's values, sorted (Wine lists them sorted, Windows in order of writing);
// empty if the key is missing.
std::vector<std::wstring> ValueNames(HKEY hRoot, REGSAM samView, const std::wstring& strKey);
bool KeyExists(HKEY hRoot, REGSAM samView, const std::wstring& strKey);
void SetString(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName, const std::wstring& strData);
void CreateKey(HKEY hRoot, REGSAM samView, const std::wstring& strKey);
// Checked: a failure names the key (see testing/cleanup.h).
inline void DeleteValue(HKEY hRoot, REGSAM samView, const std::wstring& strKey, const std::wstring& strName)
{
    testing_support::RemoveRegistryValue(hRoot, samView, strKey, strName);
}
inline void DeleteTree(HKEY hRoot, REGSAM samView, const std::wstring& strKey)
{
    testing_support::RemoveRegistryTree(hRoot, samView, strKey);
}

// REG_SZ bytes of a string, terminator included.
std::vector<BYTE> StringBytes(const std::wstring& str);
DWORD DwordOf(const RegValue& value);

// Run key of an enabled Run source (SI_RUN_HKCU, SI_RUN_HKLM, SI_RUN_HKLM32): root and view.
HKEY RunRoot(int nSource);
REGSAM RunView(int nSource);

// Startup folders and shortcuts.
std::wstring StartupFolder(int nCsidl);
bool CreateShortcut(const std::wstring& strPath, const std::wstring& strTarget);
bool FileExists(const std::wstring& strPath);
std::string ReadFileBytes(const std::wstring& strPath);
bool WriteFileBytes(const std::wstring& strPath, const std::string& strBytes);
std::wstring CaretPath(std::wstring strPath);

// A record as the listing would give it, with marker strings and icon index.
STARTUPITEMS MakeItem(const std::wstring& strName, const std::wstring& strCommand, int nSource, int nEnabled);
// StartupAction through the loaded library.
void Act(STARTUPITEMS& item, int enable);
// What the next StartupItems lists under this name: "source/enabled" per item, in order.
std::vector<std::pair<int, int>> Listed(const std::wstring& strName);
// Fields of a record that an action must pass through unchanged.
void ExpectPassThrough(Where where, const STARTUPITEMS& item, const std::wstring& strName, const std::wstring& strCommand);

// Watches the library's RegSetValueExW for the life of the object, and makes writes fail.
class FailingRegistryWrite {
public:
    // Writes of the value named pszValueName fail (every write when nullptr; none when it
    // is kNoFailure).
    explicit FailingRegistryWrite(const wchar_t* pszValueName);
    ~FailingRegistryWrite();
    bool IsActive() const { return m_patch.IsActive(); }
    int Failures() const;
    // Names of the values written successfully, in the order of writing.
    const std::vector<std::wstring>& Written() const;
    static constexpr const wchar_t* kNoFailure = L"";

private:
    testing_support::ImportPatch m_patch;
};
// The library's RegDeleteKeyW as Windows runs it in a 32-bit process on 64-bit Windows, for
// the life of the object: the subkey is looked up in the 32-bit view whatever view hKey
// was opened in (Microsoft documents RegDeleteKeyExW with KEY_WOW64_64KEY for the 64-bit
// one). Wine deletes in hKey's own view. On 32-bit Windows it passes every call on.
class DeletesIn32BitView {
public:
    DeletesIn32BitView();
    bool IsActive() const { return m_patch.IsActive(); }

private:
    testing_support::ImportPatch m_patch;
};

class FailingMove {
public:
    FailingMove();
    ~FailingMove();
    bool IsActive() const { return m_patch.IsActive(); }
    int Calls() const;

private:
    testing_support::ImportPatch m_patch;
};

// The six time fields of a store subkey are the local time of a moment from tBefore to
// tAfter (whole seconds since 1970).
void ExpectTimeFields(Where where, HKEY hRoot, const std::wstring& strKey, time_t tBefore, time_t tAfter);

}  // namespace startup_test
