// The drive report on Wine's own WMI and disks: no fake, no patched imports.
#include <gtest/gtest.h>

#include <wbemcli.h>

#include <string>
#include <vector>

#include "drive_test_support.h"
#include "testing/library_host.h"
#include "win32/raii.h"

using testing_support::Library;

namespace {

struct Medium {
    std::wstring strTag, strSerial;
};

// Win32_PhysicalMedia as WMI lists it to this process.
std::vector<Medium> ListMedia()
{
    std::vector<Medium> media;
    win32::ComInitGuard com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    win32::ComPtr<IWbemLocator> locator;
    win32::ComPtr<IWbemServices> services;
    win32::ComPtr<IEnumWbemClassObject> items;
    win32::UniqueBstr strNamespace(SysAllocString(L"ROOT\\CIMV2")), strWql(SysAllocString(L"WQL")),
        strQuery(SysAllocString(L"select * from Win32_PhysicalMedia"));
    if (FAILED(CoCreateInstance(__uuidof(WbemLocator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator),
                                locator.replace_void())) ||
        FAILED(locator->ConnectServer(strNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.replace())) ||
        FAILED(services->ExecQuery(strWql.get(), strQuery.get(), WBEM_FLAG_FORWARD_ONLY, nullptr, items.replace())))
        return media;
    for (;;) {
        win32::ComPtr<IWbemClassObject> item;
        ULONG n = 0;
        if (FAILED(items->Next(WBEM_INFINITE, 1, item.replace(), &n)) || n == 0)
            break;
        Medium medium;
        win32::Variant tag, serial;
        if (SUCCEEDED(item->Get(L"Tag", 0, tag.put(), nullptr, nullptr)) && tag.get().vt == VT_BSTR)
            medium.strTag = tag.get().bstrVal;
        if (SUCCEEDED(item->Get(L"SerialNumber", 0, serial.put(), nullptr, nullptr)) && serial.get().vt == VT_BSTR)
            medium.strSerial = serial.get().bstrVal;
        media.push_back(medium);
    }
    return media;
}

TEST(DriveReportOnThePlatform, ListsEveryMediumThatWmiLists)
{
    auto report = Library::Export<PFN_OnCalcDriveTemperature>("OnCalcDriveTemperature");
    ASSERT_NE(nullptr, report);
    drive_testing::RepairLocatorRegistration();
    std::vector<Medium> media = ListMedia();
    // Wine lists its disk (and Windows at least the system disk); none would mean that
    // the locator registration of the fake tests was left behind.
    ASSERT_FALSE(media.empty());

    CDriveInfoList list;
    report(&list);
    ASSERT_EQ(static_cast<int>(media.size()), list.GetCount());
    POSITION pos = list.GetHeadPosition();
    for (const Medium& medium : media) {
        DRIVEINFO& record = list.GetNext(pos);
        std::wstring strSerial = medium.strSerial;
        strSerial.erase(0, strSerial.find_first_not_of(L" \t\r\n"));
        EXPECT_EQ(strSerial, record.strSerialNumber.GetString());
        wchar_t chLast = medium.strTag.empty() ? L'x' : medium.strTag.back();
        std::wstring strSlot(1, chLast >= L'0' && chLast <= L'9' ? chLast : L'0');
        EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE" + strSlot, record.strDevicePath.GetString());
        // Wine's disks answer no SMART request, so no temperature is found.
        EXPECT_EQ(0, record.nTempC);
        EXPECT_EQ(0, record.nTempF);
    }
}

}  // namespace
