// The stand-in Wlanapi.dll (testing/network) beside the test host, for one test: it is
// copied in as "Wlanapi.dll" and removed with its fixture and call log afterwards.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace network_tests {

class FakeWlan {
public:
    // pszBuild: the staged build to use, e.g. L"fake_wlanapi_noquery.dll".
    explicit FakeWlan(const wchar_t* pszBuild = L"fake_wlanapi.dll");
    ~FakeWlan();
    FakeWlan(const FakeWlan&) = delete;
    FakeWlan& operator=(const FakeWlan&) = delete;

    bool IsInstalled() const { return m_bInstalled; }
    // Replaces the fixture (lines as the fake's source describes) and empties the call log.
    void SetFixture(const std::string& strFixture);
    // The calls logged since the last SetFixture, one line each.
    std::vector<std::string> Calls() const;

private:
    std::wstring m_strDll;
    bool m_bInstalled = false;
};

// True when a module named Wlanapi.dll is loaded in this process.
bool IsWlanapiLoaded();
// Where the stand-in reads its fixture and writes its log.
std::wstring FakeWlanFile(const wchar_t* pszName);

}  // namespace network_tests
