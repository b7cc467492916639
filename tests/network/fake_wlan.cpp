#include "fake_wlan.h"

#include <sstream>

#include "testing/library_host.h"
#include "win32/raii.h"

namespace network_tests {
namespace {
const wchar_t* const kBuilds[] = {L"fake_wlanapi.dll", L"fake_wlanapi_noquery.dll", L"fake_wlanapi_noclose.dll"};
std::wstring g_strServed;  // the build that stands for the system's copy; empty: none
testing_support::ImportPatch* g_pPatch = nullptr;

HMODULE WINAPI ServeSystemWlanapi(LPCWSTR pszPath, HANDLE hFile, DWORD dwFlags)
{
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    if (!g_strServed.empty() && pszPath && _wcsicmp(pszPath, (std::wstring(szSystem) + L"\\wlanapi.dll").c_str()) == 0)
        return LoadLibraryW(FakeWlanFile(g_strServed.c_str()).c_str());
    return g_pPatch->Original<decltype(&LoadLibraryExW)>()(pszPath, hFile, dwFlags);
}
}  // namespace

std::wstring FakeWlanFile(const wchar_t* pszName) { return testing_support::ProgramFolder() + L"\\" + pszName; }

bool IsWlanapiLoaded()
{
    for (const wchar_t* pszBuild : kBuilds)
        if (GetModuleHandleW(pszBuild))
            return true;
    return GetModuleHandleW(L"Wlanapi.dll") != nullptr;
}

FakeWlan::FakeWlan(const wchar_t* pszBuild)
    : m_strBuild(pszBuild),
      m_patch(testing_support::Library::Handle(), "kernel32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&ServeSystemWlanapi))
{
    SetFixture("");
    g_strServed = m_strBuild;
    g_pPatch = &m_patch;
}

FakeWlan::~FakeWlan()
{
    g_strServed.clear();
    DeleteFileW(FakeWlanFile(L"Wlanapi.dll").c_str());
    DeleteFileW(FakeWlanFile(L"fake_wlan_fixture.txt").c_str());
    DeleteFileW(FakeWlanFile(L"fake_wlan_calls.log").c_str());
}

void FakeWlan::PlantBesideTheHost()
{
    g_strServed.clear();
    CopyFileW(FakeWlanFile(m_strBuild.c_str()).c_str(), FakeWlanFile(L"Wlanapi.dll").c_str(), FALSE);
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
