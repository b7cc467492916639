// The startup sources of the test prefix, put into a state each test chooses: Run keys,
// Startup folders, StartupApproved values and the MSConfig store. A Scene clears all of
// them when it starts and again when it ends, so every test begins from nothing.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "testing/read_only_keys.h"
#include "wendle.h"

namespace startup_test {

// One listed item, copied out of the host's array.
struct Item {
    std::wstring strName, strCommand, strDisplayName, strPath, strCompany;
    int nEnabled = -1;
    int nSource = -1;
    int nIcon = -1;
    bool operator==(const Item& other) const
    {
        return strName == other.strName && strCommand == other.strCommand && strDisplayName == other.strDisplayName &&
               strPath == other.strPath && strCompany == other.strCompany && nEnabled == other.nEnabled &&
               nSource == other.nSource && nIcon == other.nIcon;
    }
};
// "name source/enabled path" in a failure message.
void PrintTo(const Item& item, std::ostream* pOut);
std::vector<Item> CopyItems(const CStartupItemArray& items);
// Calls the exported StartupItems into a fresh host array and returns its contents.
std::vector<Item> ListItems();
const Item* FindItem(const std::vector<Item>& items, const std::wstring& strName, int nSource);
int CountItems(const std::vector<Item>& items, const std::wstring& strName);

// What the library sees of the system.
bool LibrarySeesWow64();
bool LibraryUsesApprovedStore();  // version 6.2 or higher with a minor version of 2 or more

// The machine's startup keys (Run in both views, StartupApproved, the MSConfig store) as
// a standard user's host meets them, for the life of the object: readable only.
class MachineKeysReadOnly {
public:
    MachineKeysReadOnly();
    static void Repair();  // what an interrupted run left

private:
    testing_support::ReadOnlyKeys m_native, m_wow;
};

class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // A Run value (nSource SI_RUN_HKCU, SI_RUN_HKLM or SI_RUN_HKLM32) with raw data.
    void SetRunValue(int nSource, const wchar_t* pszName, DWORD dwType, const void* pData, DWORD cbData);
    void SetRunText(int nSource, const wchar_t* pszName, const std::wstring& strData, DWORD dwType = REG_SZ);
    // A shortcut file in the user's (SI_FOLDER_USER) or common (SI_FOLDER_COMMON) folder.
    void AddShortcut(int nSource, const std::wstring& strFileName, const std::wstring& strTarget);
    void AddShortcutToControlPanel(int nSource, const std::wstring& strFileName);
    void AddFile(int nSource, const std::wstring& strFileName, const std::string& strBytes);
    // A StartupApproved value for the pass code (SI_APPROVED_*).
    void SetApproved(int nPassSource, const wchar_t* pszName, const std::vector<BYTE>& bytes, DWORD dwType = REG_BINARY);
    // A "startupreg" entry; a null value is left out.
    void AddMsconfigEntry(const std::wstring& strSubkey, const wchar_t* pszItem, const wchar_t* pszCommand, const wchar_t* pszHkey,
                          const wchar_t* pszKey);
    void SetMsconfigValue(const std::wstring& strSubkey, const wchar_t* pszName, DWORD dwType, const void* pData, DWORD cbData);

    static std::wstring FolderOf(int nSource);

private:
    static void ClearAll();
};

// A moment of disabling whose bytes at offsets 5, 7 and 9 of the value are all non-zero.
constexpr ULONGLONG kDisabledTime = 0x01D9A1B2C3D4E5F6ull;
// A 12-byte approval value: the state word and a FILETIME.
std::vector<BYTE> ApprovalBytes(DWORD dwState, ULONGLONG ullTime);
// Full path of a file staged beside the test hosts.
std::wstring HostFile(const wchar_t* pszName);

}  // namespace startup_test
