#include "report_fixture.h"

#include <shlobj.h>

#include "testing/library_host.h"

namespace network_tests {

std::wstring ResultFile()
{
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    std::wstring strPath = std::wstring(szFolder) + L"\\Tessary";
    CreateDirectoryW(strPath.c_str(), nullptr);
    strPath += L"\\KELDA";
    CreateDirectoryW(strPath.c_str(), nullptr);
    return strPath + L"\\xmlupd.dat";
}

std::wstring ReadResult(const wchar_t* pszKey) { return testing_support::ReadIni(ResultFile(), L"Tessary Optimizer", pszKey); }

void SeedResultFile()
{
    for (const wchar_t* pszKey : kAllKeys)
        WritePrivateProfileStringW(L"Tessary Optimizer", pszKey, L"old", ResultFile().c_str());
}

FakeAdapter WiredAdapter(const std::string& strName, DWORD dwComboIndex, const std::string& strDescription)
{
    FakeAdapter adapter;
    adapter.strName = strName;
    adapter.strDescription = strDescription;
    adapter.dwComboIndex = dwComboIndex;
    adapter.dwIndex = dwComboIndex;
    return adapter;
}

FakeInterfaceRow RowOf(const std::string& strAdapterName, DWORD dwSpeed, DWORD dwIndex)
{
    return {L"\\DEVICE\\TCPIP_" + std::wstring(strAdapterName.begin(), strAdapterName.end()), dwSpeed, dwIndex};
}

void NetworkReport::SetUp()
{
    lanCableInfo = testing_support::Library::Export<PFN_LanCableInfo>("LanCableInfo");
    ASSERT_NE(nullptr, lanCableInfo);
    ASSERT_TRUE(wlan.IsInstalled());
    SeedResultFile();
    platform = std::make_unique<FakeNetworkPlatform>(state);
    ASSERT_TRUE(platform->IsActive());
}

void NetworkReport::TearDown()
{
    platform.reset();
    EXPECT_FALSE(IsWlanapiLoaded()) << "the report must release Wlanapi.dll";
}

void NetworkReport::Run()
{
    state.adapterCalls.clear();
    state.addressCalls.clear();
    state.interfaceCalls.clear();
    state.allocations.clear();
    state.writes.clear();
    lanCableInfo();
    EXPECT_EQ(0, state.nLiveBlocks) << "every heap block is released";
}

}  // namespace network_tests
