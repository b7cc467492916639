#include "fake_wlan.h"

#include <sstream>

#include "testing/library_host.h"
#include "win32/raii.h"

namespace network_tests {

std::wstring FakeWlanFile(const wchar_t* pszName) { return testing_support::ProgramFolder() + L"\\" + pszName; }

bool IsWlanapiLoaded() { return GetModuleHandleW(L"Wlanapi.dll") != nullptr; }

FakeWlan::FakeWlan(const wchar_t* pszBuild) : m_strDll(FakeWlanFile(L"Wlanapi.dll"))
{
    SetFixture("");
    m_bInstalled = CopyFileW(FakeWlanFile(pszBuild).c_str(), m_strDll.c_str(), FALSE) != FALSE;
}

FakeWlan::~FakeWlan()
{
    DeleteFileW(m_strDll.c_str());
    DeleteFileW(FakeWlanFile(L"fake_wlan_fixture.txt").c_str());
    DeleteFileW(FakeWlanFile(L"fake_wlan_calls.log").c_str());
}

void FakeWlan::SetFixture(const std::string& strFixture)
{
    win32::UniqueFile file(CreateFileW(FakeWlanFile(L"fake_wlan_fixture.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD dwWritten = 0;
    WriteFile(file.get(), strFixture.data(), static_cast<DWORD>(strFixture.size()), &dwWritten, nullptr);
    DeleteFileW(FakeWlanFile(L"fake_wlan_calls.log").c_str());
}

std::vector<std::string> FakeWlan::Calls() const
{
    std::string strLog;
    win32::UniqueFile file(CreateFileW(FakeWlanFile(L"fake_wlan_calls.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    char achChunk[4096];
    DWORD dwRead = 0;
    while (file && ReadFile(file.get(), achChunk, sizeof(achChunk), &dwRead, nullptr) && dwRead)
        strLog.append(achChunk, dwRead);
    std::vector<std::string> calls;
    std::istringstream lines(strLog);
    for (std::string strLine; std::getline(lines, strLine);)
        calls.push_back(strLine);
    return calls;
}

}  // namespace network_tests
