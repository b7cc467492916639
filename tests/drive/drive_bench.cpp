// One drive report with 20 simulated drives, against a baseline in the same run that
// makes the same WMI queries, device requests and the three language lookups (SMART
// enabled and not enabled, status OK) itself. Figures are min / median / max over the
// rounds, which take the two sides in turn.
#include <windows.h>
#include <wbemcli.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "drive_test_support.h"
#include "testing/bench_rounds.h"
#include "testing/library_host.h"
#include "win32/raii.h"

using namespace drive_testing;

namespace {
constexpr int kDrives = 20;
constexpr int kRounds = 60;

// Odd drive numbers are NVMe SSDs: no SMART in WMI, ATA requests refused, the temperature
// from the storage driver.
bool IsNvme(int n) { return n % 2 != 0; }

void AddDrives(SimulatedDrives& drives)
{
    for (int n = 0; n < kDrives; ++n) {
        SimulatedDrive& drive = drives.Add(n);
        drive.identify = IdentifyBlock("SN" + std::to_string(n), "ST2000DM001", "CC43");
        drive.attributes = SmartTable({{0, 1, 100, 0}, {1, 9, 90, 77}, {2, 194, 30, static_cast<BYTE>(30 + n)}});
        drive.thresholds = SmartTable({{0, 1, 6, 0}, {1, 9, 0, 0}, {2, 194, 0, 0}});
        drive.bRefuseIdentify = IsNvme(n);
        drive.storageTemperature = StorageTemperatureReply(70, {static_cast<SHORT>(30 + n)});
    }
}

WmiFixture Inventory()
{
    WmiFixture fixture;
    for (int n = 0; n < kDrives; ++n)
        fixture.Disk("\\\\.\\PHYSICALDRIVE" + std::to_string(n), "2000398934016", IsNvme(n) ? "3 4" : "3 4 10", "ST2000DM001");
    for (int n = 0; n < kDrives; ++n)
        fixture.Medium("\\\\.\\PHYSICALDRIVE" + std::to_string(n), "   Z1E" + std::to_string(n));
    return fixture;
}

void Enumerate(IWbemServices* pServices, const wchar_t* pszQuery, std::initializer_list<const wchar_t*> properties)
{
    win32::UniqueBstr strWql(SysAllocString(L"WQL")), strQuery(SysAllocString(pszQuery));
    win32::ComPtr<IEnumWbemClassObject> items;
    if (FAILED(pServices->ExecQuery(strWql.get(), strQuery.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                    nullptr, items.replace())))
        return;
    for (;;) {
        win32::ComPtr<IWbemClassObject> item;
        ULONG n = 0;
        if (FAILED(items->Next(WBEM_INFINITE, 1, item.replace(), &n)) || n == 0)
            break;
        for (const wchar_t* pszName : properties) {
            win32::Variant value;
            item->Get(pszName, 0, value.put(), nullptr, nullptr);
        }
    }
}

void Send(HANDLE h, BYTE bFeatures, BYTE bCommand, DWORD cbData, DWORD cbSent, BYTE bDrive)
{
    SENDCMDINPARAMS request = {};
    request.cBufferSize = cbData;
    request.irDriveRegs = IDEREGS{bFeatures, 1, 1, static_cast<BYTE>(bCommand == 0xEC ? 0 : 0x4F),
                                  static_cast<BYTE>(bCommand == 0xEC ? 0 : 0xC2), static_cast<BYTE>(0xA0 | ((bDrive & 1) << 4)),
                                  bCommand, 0};
    request.bDriveNumber = bDrive;
    BYTE reply[16 + 512];
    DWORD cb = 0;
    DeviceIoControl(h, cbData ? SMART_RCV_DRIVE_DATA : SMART_SEND_DRIVE_COMMAND, &request, cbSent, reply, 16 + cbData, &cb,
                    nullptr);
}

HANDLE OpenDrive(int n)
{
    return CreateFileW((L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(n)).c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

// What the report asks of the platform, and nothing else.
void Baseline()
{
    wchar_t szValue[500];
    GetPrivateProfileStringW(L"Drive SMART", L"IDS_SMART_ENABLED", L"", szValue, 500, LanguageFile::Path().c_str());
    // The NVMe disks, without SMART in WMI, take the not-enabled text.
    GetPrivateProfileStringW(L"Drive SMART", L"IDS_SMART_NOT_ENABLED", L"", szValue, 500, LanguageFile::Path().c_str());
    for (int n = 0; n < kDrives; ++n)
        CloseHandle(OpenDrive(n));
    win32::ComInitGuard com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    win32::ComPtr<IWbemLocator> locator;
    win32::ComPtr<IWbemServices> services;
    win32::UniqueBstr strNamespace(SysAllocString(L"ROOT\\CIMV2"));
    CoCreateInstance(__uuidof(WbemLocator), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWbemLocator), locator.replace_void());
    locator->ConnectServer(strNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.replace());
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    Enumerate(services.get(), L"select * from Win32_DiskDrive",
              {L"Size", L"Name", L"Capabilities", L"InterfaceType", L"MediaType", L"Model", L"Partitions", L"Status"});
    // Drives 10 to 19, listed after 0 to 9, hold the slots they share with them: they are
    // read, the SATA ones through SMART, the NVMe ones through the storage driver.
    for (int n = 10; n < kDrives; ++n) {
        BYTE bDrive = static_cast<BYTE>(n);
        HANDLE h = OpenDrive(bDrive);
        if (IsNvme(n)) {
            STORAGE_PROPERTY_QUERY query = {};
            query.PropertyId = StorageDeviceTemperatureProperty;
            BYTE reply[24 + 30 * 16];
            DWORD cb = 0;
            DeviceIoControl(h, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), reply, sizeof(reply), &cb, nullptr);
        } else {
            Send(h, 0x00, 0xEC, 512, 33, bDrive);
            Send(h, 0xD8, 0xB0, 0, 32, bDrive);
            Send(h, 0xD0, 0xB0, 512, 32, bDrive);
            Send(h, 0xD1, 0xB0, 512, 32, bDrive);
        }
        CloseHandle(h);
    }
    GetPrivateProfileStringW(L"Drive SMART", L"IDS_STATUS_EXCELLENT", L"", szValue, 500, LanguageFile::Path().c_str());
    Enumerate(services.get(), L"select * from Win32_PhysicalMedia", {L"Tag", L"SerialNumber"});
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}
}  // namespace

int main()
{
    auto report = testing_support::Library::Export<PFN_OnCalcDriveTemperature>("OnCalcDriveTemperature");
    FakeWmi wmi;
    LanguageFile language;
    if (!report || !wmi.IsServing()) {
        std::printf("cannot set up the fake WMI locator\n");
        return 1;
    }
    wmi.Serve(Inventory());
    testing_support::RoundFigures figures;
    size_t nRequestsLibrary = 0, nRequestsBaseline = 0;
    int nRecords = 0;
    for (int round = 0; round < kRounds; ++round) {
        LARGE_INTEGER t0, t1;
        double dLibrary = 0, dBaseline = 0;
        for (int nSide = 0; nSide < 2; ++nSide) {
            if ((nSide + round) % 2 == 0) {
                SimulatedDrives drives;
                AddDrives(drives);
                CDriveInfoList list;
                QueryPerformanceCounter(&t0);
                report(&list);
                QueryPerformanceCounter(&t1);
                dLibrary = Seconds(t0, t1) * 1000;
                nRequestsLibrary = drives.requests.size() + drives.storageQueries.size();
                nRecords = list.GetCount();
            } else {
                SimulatedDrives drives(GetModuleHandleW(nullptr));
                AddDrives(drives);
                QueryPerformanceCounter(&t0);
                Baseline();
                QueryPerformanceCounter(&t1);
                dBaseline = Seconds(t0, t1) * 1000;
                nRequestsBaseline = drives.requests.size() + drives.storageQueries.size();
            }
        }
        figures.feature.push_back(dLibrary);
        figures.baseline.push_back(dBaseline);
        figures.ratio.push_back(dLibrary / dBaseline);
    }
    std::printf("%d simulated drives, %d records, %zu device requests (baseline %zu)\n", kDrives, nRecords, nRequestsLibrary,
                nRequestsBaseline);
    testing_support::PrintRounds("drive report", "OnCalcDriveTemperature", "the same platform calls", figures);
    return 0;
}
