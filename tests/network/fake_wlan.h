// The stand-in Wlanapi.dll (testing/network) as the system's own, for one test. The library
// takes the WLAN API from the system folder only, so its LoadLibraryExW of the system
// folder's wlanapi.dll is served the staged build, loaded from beside the host under its
// own name; every other load passes on. Its fixture and call log go afterwards.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "testing/import_patch.h"

namespace network_tests {

class FakeWlan {
public:
    // pszBuild: the staged build to use, e.g. L"fake_wlanapi_noquery.dll".
    explicit FakeWlan(const wchar_t* pszBuild = L"fake_wlanapi.dll");
    ~FakeWlan();
    FakeWlan(const FakeWlan&) = delete;
    FakeWlan& operator=(const FakeWlan&) = delete;

    bool IsInstalled() const { return m_patch.IsActive(); }
    // Replaces the fixture (lines as the fake's source describes) and empties the call log.
    void SetFixture(const std::string& strFixture);
    // The calls logged since the last SetFixture, one line each.
    std::vector<std::string> Calls() const;
    // From now on the system folder serves its own WLAN API, and the stand-in lies beside
    // the host as "Wlanapi.dll", where a DLL found by bare name would be taken from.
    void PlantBesideTheHost();

private:
    std::wstring m_strBuild;
    testing_support::ImportPatch m_patch;
};

// True when the system's Wlanapi.dll or a stand-in is loaded in this process.
bool IsWlanapiLoaded();
// Where the stand-in reads its fixture and writes its log.
std::wstring FakeWlanFile(const wchar_t* pszName);

}  // namespace network_tests
