// Registry keys that the test process may read but not write, as a standard user's host
// (or an administrator's without elevation) meets the machine's keys on Windows. Wine runs
// every program as an all-powerful administrator, but enforces a key's DACL when the key
// is opened: keys that the system owns, with a DACL that grants Everyone reading only,
// refuse full, write and delete access.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class ReadOnlyKeys {
public:
    // The keys at strPaths under hRoot in the view samView, and all their subkeys, for the
    // life of the object; missing ones are passed over. Owner and DACL are put back after.
    ReadOnlyKeys(HKEY hRoot, REGSAM samView, const std::vector<std::wstring>& paths);
    ~ReadOnlyKeys();
    ReadOnlyKeys(const ReadOnlyKeys&) = delete;
    ReadOnlyKeys& operator=(const ReadOnlyKeys&) = delete;

    // Gives every key of the tree that an interrupted run left read-only the owner and DACL
    // that the prefix gives new keys.
    static void Repair(HKEY hRoot, REGSAM samView, const std::wstring& strPath);

private:
    struct SavedDacl {
        std::wstring strPath;
        std::vector<BYTE> descriptor;
    };
    HKEY m_hRoot;
    REGSAM m_samView;
    std::vector<SavedDacl> m_saved;
};

}  // namespace testing_support
