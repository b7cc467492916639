// OnCalcDriveTemperature through the export, with WMI served by fake_wbem.dll from a
// fixture and the drives simulated behind the library's device imports.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "drive/smart/drive_temperature.h"
#include "drive_test_support.h"
#include "testing/library_host.h"
#include "win32/raii.h"

using namespace drive_testing;
using testing_support::Library;

namespace {

struct Record {
    std::wstring strPath, strMediaType, strInterface, strModel, strSerial, strSize, strStatus, strSmart, strSpare1, strSpare2;
    int nPartitions, nFlag, nTempC, nTempMaxC, nTempF, nTempMaxF;
};

std::vector<Record> Records(CDriveInfoList& list)
{
    std::vector<Record> records;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        DRIVEINFO& r = list.GetNext(pos);
        records.push_back(Record{r.strDevicePath.GetString(), r.strMediaType.GetString(), r.strInterfaceType.GetString(),
                                 r.strModel.GetString(), r.strSerialNumber.GetString(), r.strSize.GetString(),
                                 r.strStatus.GetString(), r.strSmart.GetString(), r.strSpare1.GetString(),
                                 r.strSpare2.GetString(), r.nPartitions, r.bFlag, r.nTempC, r.nTempMaxC, r.nTempF,
                                 r.nTempMaxF});
    }
    return records;
}

std::string DrivePath(int n) { return "\\\\.\\PHYSICALDRIVE" + std::to_string(n); }

// The request block the driver must get: the eight registers, the drive number, zeros.
std::vector<BYTE> Request(DWORD cbBuffer, BYTE bFeatures, BYTE bCylLow, BYTE bCylHigh, BYTE bHead, BYTE bCommand, BYTE bDrive,
                          size_t nLength)
{
    std::vector<BYTE> bytes(nLength, 0);
    bytes[0] = LOBYTE(cbBuffer);
    bytes[1] = HIBYTE(cbBuffer);
    BYTE regs[8] = {bFeatures, 1, 1, bCylLow, bCylHigh, bHead, bCommand, 0};
    std::copy(regs, regs + 8, bytes.begin() + 4);
    bytes[12] = bDrive;
    return bytes;
}

// Runs the export on a thread of its own that first enters the given apartment.
struct ThreadCall {
    PFN_OnCalcDriveTemperature pfn;
    CDriveInfoList* pList;
    DWORD dwApartment;
    HRESULT hrInit = E_FAIL;
    HRESULT hrAfter = E_FAIL;  // CoInitializeEx(MTA) after the call, before our uninit
};
DWORD WINAPI CallOnThread(void* pParameter)
{
    auto* pCall = static_cast<ThreadCall*>(pParameter);
    if (pCall->dwApartment != ~0u)
        pCall->hrInit = CoInitializeEx(nullptr, pCall->dwApartment);
    pCall->pfn(pCall->pList);
    pCall->hrAfter = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(pCall->hrAfter))
        CoUninitialize();
    if (SUCCEEDED(pCall->hrInit))
        CoUninitialize();
    return 0;
}

class DriveReport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_pWmi = new FakeWmi; }
    static void TearDownTestSuite()
    {
        delete s_pWmi;
        s_pWmi = nullptr;
    }
    void SetUp() override
    {
        report = Library::Export<PFN_OnCalcDriveTemperature>("OnCalcDriveTemperature");
        ASSERT_NE(nullptr, report);
        ASSERT_TRUE(s_pWmi->IsServing());
        ASSERT_TRUE(drives.IsActive());
    }
    void TearDown() override
    {
        EXPECT_EQ(0, drives.nOpenHandles) << "every drive handle is closed";
        EXPECT_EQ(0, drives.nForeignCalls);
        EXPECT_EQ(0, s_pWmi->LiveObjects()) << "every WMI object is released";
    }

    FakeWmi& Wmi() { return *s_pWmi; }
    // Serves the fixture and calls the export on list.
    void Call(const WmiFixture& fixture, CDriveInfoList& list)
    {
        Wmi().Serve(fixture);
        Wmi().ClearLog();
        drives.ClearRecords();
        report(&list);
    }
    std::vector<Record> Run(const WmiFixture& fixture)
    {
        CDriveInfoList list;
        Call(fixture, list);
        return Records(list);
    }
    // A SMART disk at drive number n: in WMI (with a medium) and as a simulated drive.
    SimulatedDrive& SmartDisk(WmiFixture& fixture, int n, const std::string& strModel, const Block& attributes)
    {
        fixture.Disk(DrivePath(n), "500107862016", "3 4 10", strModel);
        SimulatedDrive& drive = drives.Add(n);
        drive.identify = IdentifyBlock("SN" + std::to_string(n), strModel, "1.0");
        drive.attributes = attributes;
        drive.thresholds = SmartTable({});
        return drive;
    }
    static void AddMedia(WmiFixture& fixture, int nCount)
    {
        for (int k = 0; k < nCount; ++k)
            fixture.Medium(DrivePath(k), "  SN" + std::to_string(k));
    }
    std::vector<int> RequestedDrives() const
    {
        std::vector<int> result;
        for (const DriveRequest& request : drives.requests)
            result.push_back(request.nDrive);
        return result;
    }

    static FakeWmi* s_pWmi;
    LanguageFile language;
    SimulatedDrives drives;
    PFN_OnCalcDriveTemperature report = nullptr;
};
FakeWmi* DriveReport::s_pWmi = nullptr;

TEST_F(DriveReport, TheFakeLocatorIsReachedThroughTheRegistry)
{
    // Wine 8's COM reads only the machine's classes; real Windows also reads the user's.
    if (!Wmi().IsPerUser())
        std::printf("note: the per-user class registration is not honoured here; the machine's was replaced\n");
    WmiFixture fixture;
    AddMedia(fixture, 1);
    EXPECT_EQ(1u, Run(fixture).size());
}

TEST_F(DriveReport, ProbesTwentyPathsAndSendsByteExactRequestsWithTheDriveNumbersHead)
{
    WmiFixture fixture;
    for (int n = 0; n < 4; ++n)
        drives.Add(n);
    SmartDisk(fixture, 2, "ST500", SmartTable({{0, 194, 30, 41}}));
    SmartDisk(fixture, 3, "ST500", SmartTable({{0, 194, 30, 42}}));
    AddMedia(fixture, 4);
    auto records = Run(fixture);

    ASSERT_EQ(24u, drives.opens.size());
    for (int i = 0; i < 20; ++i) {
        const DriveOpen& open = drives.opens[i];
        EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(i), open.strPath);
        EXPECT_EQ(static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE), open.dwAccess);
        EXPECT_EQ(static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE), open.dwShare);
        EXPECT_EQ(static_cast<DWORD>(OPEN_EXISTING), open.dwDisposition);
        EXPECT_FALSE(open.bSecurity || open.bTemplate);
    }
    // Drives 0 and 1, no SMART disks, are opened for the storage temperature property:
    // one query each, PropertyId 52, standard query.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(i), drives.opens[20 + i].strPath);
    ASSERT_EQ(2u, drives.storageQueries.size());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(i, drives.storageQueries[i].nDrive);
        EXPECT_EQ(static_cast<DWORD>(IOCTL_STORAGE_QUERY_PROPERTY), drives.storageQueries[i].dwCode);
        EXPECT_EQ((std::vector<BYTE>{52, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), drives.storageQueries[i].input);
    }

    ASSERT_EQ(8u, drives.requests.size());
    for (int i = 0; i < 2; ++i) {
        BYTE bDrive = static_cast<BYTE>(2 + i);
        BYTE bHead = i == 0 ? 0xA0 : 0xB0;
        const DriveRequest* r = &drives.requests[4 * i];
        EXPECT_EQ(bDrive, r[0].nDrive);
        EXPECT_EQ(0x0007C088u, r[0].dwCode);
        EXPECT_EQ(Request(512, 0x00, 0x00, 0x00, bHead, 0xEC, bDrive, 33), r[0].input);
        EXPECT_EQ(528u, r[0].cbOutput);
        EXPECT_EQ(0x0007C084u, r[1].dwCode);
        EXPECT_EQ(Request(0, 0xD8, 0x4F, 0xC2, bHead, 0xB0, bDrive, 32), r[1].input);
        EXPECT_EQ(16u, r[1].cbOutput);
        EXPECT_EQ(0x0007C088u, r[2].dwCode);
        EXPECT_EQ(Request(512, 0xD0, 0x4F, 0xC2, bHead, 0xB0, bDrive, 32), r[2].input);
        EXPECT_EQ(528u, r[2].cbOutput);
        EXPECT_EQ(0x0007C088u, r[3].dwCode);
        EXPECT_EQ(Request(512, 0xD1, 0x4F, 0xC2, bHead, 0xB0, bDrive, 32), r[3].input);
        EXPECT_EQ(528u, r[3].cbOutput);
    }
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(0, records[0].nTempC);  // positions 0 and 1 name no SMART disk
    EXPECT_EQ(41, records[2].nTempC);
    EXPECT_EQ(42, records[3].nTempC);
}

TEST_F(DriveReport, ARefusedIdentifyGetsNoFurtherRequestAndAFailedReadStopsBeforeThresholds)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST1", SmartTable({{0, 194, 30, 41}})).bRefuseIdentify = true;
    SmartDisk(fixture, 1, "ST1", SmartTable({{0, 194, 30, 41}})).bRefuseReadData = true;
    SmartDisk(fixture, 2, "ST1", SmartTable({{0, 194, 30, 41}})).bRefuseEnable = true;
    AddMedia(fixture, 3);
    auto records = Run(fixture);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 1, 2, 2, 2, 2}), RequestedDrives());
    EXPECT_EQ(0xD0, drives.requests[3].input[4]);
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(0, records[0].nTempC);
    EXPECT_EQ(0, records[1].nTempC);
    EXPECT_EQ(41, records[2].nTempC);  // a refused SMART ENABLE does not stop the reads
}

// Replies whose call succeeded but whose driver status reports an error, each carrying a
// valid-looking table: the IDENTIFY one ends the read, the READ DATA one comes before no
// threshold request, and neither table gives a temperature.
TEST_F(DriveReport, AReplyWithADriverErrorIsAFailedRequest)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST1", SmartTable({{0, 194, 30, 41}})).bErrorReplyIdentify = true;
    SmartDisk(fixture, 1, "ST1", SmartTable({{0, 194, 30, 42}})).bErrorReplyReadData = true;
    SmartDisk(fixture, 2, "ST1", SmartTable({{0, 194, 30, 43}}));
    AddMedia(fixture, 3);
    auto records = Run(fixture);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 1, 2, 2, 2, 2}), RequestedDrives());
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(0, records[0].nTempC);
    EXPECT_EQ(0, records[1].nTempC);
    EXPECT_EQ(0, records[1].nTempMaxC);
    EXPECT_EQ(43, records[2].nTempC);
}

TEST_F(DriveReport, SizeTextsRoundTheCountUpToEven)
{
    WmiFixture fixture;
    const char* sizes[] = {"500107862016", "31000000000", "1073741824", "1073741823", "536870912", "18446744073709551615"};
    for (int n = 0; n < 6; ++n)
        fixture.Disk(DrivePath(n), sizes[n], "3 4", "M" + std::to_string(n));
    fixture.Disk(DrivePath(6), "0", "3 4", "zero");
    fixture.Disk(DrivePath(7), "not a number", "3 4", "text");
    fixture.Object("Win32_DiskDrive").Text("Name", DrivePath(8)).Property("Capabilities", "i4array", "3 4").Text("Model", "none");
    AddMedia(fixture, 9);
    auto records = Run(fixture);
    ASSERT_EQ(9u, records.size());
    EXPECT_EQ(L"500 GB", records[0].strSize);
    EXPECT_EQ(L"32 GB", records[1].strSize);
    EXPECT_EQ(L"2 GB", records[2].strSize);
    EXPECT_EQ(L"1074 MB", records[3].strSize);
    EXPECT_EQ(L"536 MB", records[4].strSize);
    EXPECT_EQ(L"M5", records[5].strModel);
    // Disks without a size are left out: their slots stay empty.
    for (int n = 6; n < 9; ++n) {
        EXPECT_EQ(L"", records[n].strSize) << n;
        EXPECT_EQ(L"", records[n].strModel) << n;
        EXPECT_EQ(L"", records[n].strSmart) << n;
    }
}

TEST_F(DriveReport, StatusTextsComeFromTheLanguageFile)
{
    WmiFixture fixture;
    const char* states[] = {"OK", "Pred Fail", "Error", "Degraded", "Pred Fail Error", "ok", "Unknown OK"};
    for (int n = 0; n < 7; ++n)
        fixture.Disk(DrivePath(n), "1000000000000", "3 4 10", "M", states[n]);
    AddMedia(fixture, 7);
    auto records = Run(fixture);
    ASSERT_EQ(7u, records.size());
    EXPECT_EQ(L"Excellent", records[0].strStatus);
    EXPECT_EQ(L"Poor", records[1].strStatus);
    EXPECT_EQ(L"Bad", records[2].strStatus);
    EXPECT_EQ(L"Degraded", records[3].strStatus);
    EXPECT_EQ(L"Bad", records[4].strStatus);  // "Error" is looked for before "Pred Fail"
    EXPECT_EQ(L"ok", records[5].strStatus);   // case matters
    EXPECT_EQ(L"Excellent", records[6].strStatus);
}

TEST_F(DriveReport, SmartTextsFollowCapabilities)
{
    WmiFixture fixture;
    fixture.Disk(DrivePath(0), "1000000000000", "3 4 10", "with");
    fixture.Disk(DrivePath(1), "1000000000000", "3 4", "without");
    fixture.Disk(DrivePath(2), "1000000000000", "", "empty list");
    fixture.Object("Win32_DiskDrive").Text("Name", DrivePath(3)).Text("Size", "1000000000000").Text("Model", "missing");
    fixture.Text("Status", "OK");
    AddMedia(fixture, 4);
    for (int n = 0; n < 4; ++n)
        drives.Add(n).identify = IdentifyBlock("S", "M", "F");
    auto records = Run(fixture);
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(L"SMART Enabled", records[0].strSmart);
    EXPECT_EQ(L"SMART Not Supported", records[1].strSmart);
    EXPECT_EQ(L"SMART Not Supported", records[2].strSmart);
    EXPECT_EQ(L"without", records[1].strModel);
    // Capabilities missing: the disk leaves its slot empty.
    EXPECT_EQ(L"", records[3].strSmart);
    EXPECT_EQ(L"", records[3].strModel);
    EXPECT_EQ(L"", records[3].strStatus);
    EXPECT_EQ(L"", records[3].strSize);
    EXPECT_EQ(L"", records[3].strInterface);
    EXPECT_EQ(0, records[3].nPartitions);
    EXPECT_EQ(L"SN3", records[3].strSerial);  // the medium's own serial still
    // Only the SMART disk is read; none gives a temperature, so each is asked the
    // storage temperature property once.
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), RequestedDrives());
    EXPECT_EQ(4u, drives.storageQueries.size());
}

TEST_F(DriveReport, ANotEnabledTextContainingTheEnabledTextReadsEveryDisk)
{
    LanguageFile words(L"Enabled", L"Not Enabled");
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
    fixture.Disk(DrivePath(1), "1000000000000", "3 4", "ST");
    drives.Add(1).attributes = SmartTable({{0, 194, 30, 33}});
    AddMedia(fixture, 2);
    auto records = Run(fixture);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(L"Not Enabled", records[1].strSmart);
    EXPECT_EQ(4u + 4u, drives.requests.size());
    EXPECT_EQ(33, records[1].nTempC);
}

TEST_F(DriveReport, AnEmptyEnabledTextLeavesSmartTextsEmptyAndReadsEveryDrive)
{
    LanguageFile words(nullptr, L"Not Enabled");
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
    fixture.Disk(DrivePath(1), "1000000000000", "3 4", "ST");
    drives.Add(1).attributes = SmartTable({{0, 190, 30, 29}});
    drives.Add(2);  // a third drive without a WMI disk, read as itself
    AddMedia(fixture, 3);
    auto records = Run(fixture);
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(L"", records[0].strSmart);
    EXPECT_EQ(L"", records[1].strSmart);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2}), RequestedDrives());
    EXPECT_EQ(41, records[0].nTempC);
    EXPECT_EQ(29, records[1].nTempC);
    EXPECT_EQ(0, records[2].nTempC);
}

TEST_F(DriveReport, TemperaturesFromAttributes190And194)
{
    for (const TemperatureExample& c : TemperatureExamples()) {
        WmiFixture fixture;
        SmartDisk(fixture, 0, c.pszModel, SmartTable(c.entries));
        AddMedia(fixture, 1);
        auto records = Run(fixture);
        ASSERT_EQ(1u, records.size()) << c.pszModel;
        EXPECT_EQ(c.nTempC, records[0].nTempC) << c.pszModel;
        EXPECT_EQ(c.nTempMaxC, records[0].nTempMaxC) << c.pszModel;
        EXPECT_EQ(c.nTempF, records[0].nTempF) << c.pszModel;
        EXPECT_EQ(c.nTempMaxF, records[0].nTempMaxF) << c.pszModel;
    }
}

// The highest temperature a drive recorded in its raw value reaches its record, in degrees
// Celsius and Fahrenheit, where the worst values (100, 47) would have been shown before.
TEST_F(DriveReport, RecordsCarryTheHighestTemperatureTheDriveRecorded)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "FUJITSU MHV2080AH", SmartTable({{0, 194, 100, 28, {0, 15, 0, 54, 0}}}));
    SmartDisk(fixture, 1, "ST9500325AS", SmartTable({{3, 190, 47, 35, {0, 22, 53, 0, 0}}, {4, 194, 35, 35}}));
    AddMedia(fixture, 2);
    auto records = Run(fixture);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ((std::vector<int>{28, 54, 82, 129}),
              (std::vector<int>{records[0].nTempC, records[0].nTempMaxC, records[0].nTempF, records[0].nTempMaxF}));
    EXPECT_EQ((std::vector<int>{35, 53, 95, 127}),
              (std::vector<int>{records[1].nTempC, records[1].nTempMaxC, records[1].nTempF, records[1].nTempMaxF}));
}

// A Seagate system disk with a WD, a Toshiba and a drive refusing IDENTIFY behind it,
// their media listed out of drive order: each record carries its own drive's texts and
// temperatures, and the maker rule looks at the model of the drive being read.
TEST_F(DriveReport, SeveralDrivesListedOutOfOrderEachCarryTheirOwnTemperatures)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST3500418AS", SmartTable({{0, 194, 30, 41}}));
    SmartDisk(fixture, 1, "HDS721010", SmartTable({{0, 194, 30, 47}})).bRefuseIdentify = true;
    SmartDisk(fixture, 2, "WDC WD20EZRX", SmartTable({{0, 194, 25, 38}}));
    SmartDisk(fixture, 3, "TOSHIBA DT01", SmartTable({{0, 194, 20, 44}}));
    for (int n : {2, 0, 3, 1})
        fixture.Medium(DrivePath(n), "SN" + std::to_string(n));
    auto records = Run(fixture);
    ASSERT_EQ(4u, records.size());
    const struct {
        const wchar_t* pszModel;
        int nTempC, nTempMaxC, nTempF, nTempMaxF;
    } expected[] = {{L"WDC WD20EZRX", 38, 53, 100, 127},
                    {L"ST3500418AS", 41, 41, 105, 105},
                    {L"TOSHIBA DT01", 44, 59, 111, 138},
                    {L"HDS721010", 0, 0, 0, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(expected[k].pszModel, records[k].strModel) << k;
        EXPECT_EQ(expected[k].nTempC, records[k].nTempC) << k;
        EXPECT_EQ(expected[k].nTempMaxC, records[k].nTempMaxC) << k;
        EXPECT_EQ(expected[k].nTempF, records[k].nTempF) << k;
        EXPECT_EQ(expected[k].nTempMaxF, records[k].nTempMaxF) << k;
    }
    EXPECT_EQ(L"SN2", records[0].strSerial);
    EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE2", records[0].strPath);
}

TEST_F(DriveReport, TwoDisksAndAnOpticalMedium)
{
    WmiFixture fixture;
    fixture.Disk(DrivePath(0), "500107862016", "3 4 10", "WDC WD5000AAKS", "OK", 2);
    fixture.Disk(DrivePath(1), "250059350016", "3 4 10", "ST3250310AS", "Pred Fail", 1);
    drives.Add(0).attributes = SmartTable({{0, 194, 30, 41}});
    drives.Add(1).attributes = SmartTable({{0, 190, 60, 37}});
    fixture.Medium(DrivePath(0), "     WD-WCAS1234");
    fixture.Medium(DrivePath(1), "\t 5RY1ABCD ");
    fixture.Medium("\\\\.\\CDROM0", "");
    auto records = Run(fixture);
    ASSERT_EQ(3u, records.size());

    const Record& first = records[0];
    EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE0", first.strPath);
    EXPECT_EQ(L"WDC WD5000AAKS", first.strModel);
    EXPECT_EQ(L"WD-WCAS1234", first.strSerial);
    EXPECT_EQ(L"500 GB", first.strSize);
    EXPECT_EQ(L"Excellent", first.strStatus);
    EXPECT_EQ(L"SMART Enabled", first.strSmart);
    EXPECT_EQ(L"IDE", first.strInterface);
    EXPECT_EQ(L"Fixed hard disk media", first.strMediaType);
    EXPECT_EQ(2, first.nPartitions);
    EXPECT_EQ(0, first.nFlag);
    EXPECT_EQ(L"", first.strSpare1);
    EXPECT_EQ(L"", first.strSpare2);
    EXPECT_EQ(41, first.nTempC);
    EXPECT_EQ(56, first.nTempMaxC);

    const Record& second = records[1];
    EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE1", second.strPath);
    EXPECT_EQ(L"ST3250310AS", second.strModel);
    EXPECT_EQ(L"5RY1ABCD ", second.strSerial);
    EXPECT_EQ(L"250 GB", second.strSize);
    EXPECT_EQ(L"Poor", second.strStatus);
    EXPECT_EQ(1, second.nPartitions);
    EXPECT_EQ(37, second.nTempC);
    EXPECT_EQ(60, second.nTempMaxC);
    EXPECT_EQ(98, second.nTempF);
    EXPECT_EQ(140, second.nTempMaxF);

    // The optical medium's Tag ends in 0: it shares slot 0's drive texts and temperatures,
    // with its own (empty) serial number.
    const Record& optical = records[2];
    EXPECT_EQ(L"WDC WD5000AAKS", optical.strModel);
    EXPECT_EQ(L"", optical.strSerial);
    EXPECT_EQ(41, optical.nTempC);
    EXPECT_EQ(56, optical.nTempMaxC);
}

TEST_F(DriveReport, ASecondCallAppendsAfterTheFirstCallsRecords)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
    AddMedia(fixture, 1);
    CDriveInfoList list;
    Call(fixture, list);
    ASSERT_EQ(1, list.GetCount());
    DRIVEINFO* pFirst = &list.GetHead();
    std::vector<Record> before = Records(list);

    WmiFixture second;
    SmartDisk(second, 0, "WDC", SmartTable({{0, 194, 30, 45}}));
    SmartDisk(second, 1, "WDC", SmartTable({{0, 194, 30, 46}}));
    AddMedia(second, 2);
    Call(second, list);
    ASSERT_EQ(3, list.GetCount());
    EXPECT_EQ(pFirst, &list.GetHead()) << "the first record stays where it was";
    auto after = Records(list);
    EXPECT_EQ(before[0].strModel, after[0].strModel);
    EXPECT_EQ(41, after[0].nTempC);
    EXPECT_EQ(41, after[0].nTempMaxC);
    EXPECT_EQ(L"WDC", after[1].strModel);
    EXPECT_EQ(45, after[1].nTempC);
    EXPECT_EQ(46, after[2].nTempC);
    EXPECT_EQ(61, after[2].nTempMaxC);
    // The list is still well linked both ways.
    POSITION pos = list.GetTailPosition();
    int nBack = 0;
    while (pos) {
        list.GetPrev(pos);
        ++nBack;
    }
    EXPECT_EQ(3, nBack);
}

// Drive numbers with gaps (a removed USB stick, a card reader) or without a drive 0: every
// drive that opened is read, and each medium carries its own drive's temperature.
TEST_F(DriveReport, DrivesBehindAGapInTheNumbersAreRead)
{
    for (const std::vector<int>& numbers : {std::vector<int>{0, 1, 3}, std::vector<int>{1, 2}}) {
        drives.RemoveAll();
        WmiFixture fixture;
        std::vector<int> expected, requested;
        for (int n : numbers) {
            SmartDisk(fixture, n, "ST", SmartTable({{0, 194, 50, static_cast<BYTE>(30 + n)}}));
            fixture.Medium(DrivePath(n), "S");
            expected.push_back(30 + n);
            requested.insert(requested.end(), 4, n);
        }
        auto records = Run(fixture);
        std::vector<int> temperatures;
        for (const Record& record : records)
            temperatures.push_back(record.nTempC);
        EXPECT_EQ(expected, temperatures);
        EXPECT_EQ(requested, RequestedDrives());
    }
}

// NVMe SSDs and disks behind RAID controllers refuse ATA requests; the storage driver's
// temperature property gives theirs, when its reply is whole and plausible. A drive whose
// SMART attributes give a temperature is not asked.
TEST_F(DriveReport, DrivesWithoutSmartTemperatureTakeTheStorageDriversValue)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 50, 35}})).storageTemperature = StorageTemperatureReply(70, {99});
    fixture.Disk(DrivePath(1), "512110190592", "3 4", "Samsung SSD 980 PRO 512GB");  // NVMe: no SMART in WMI
    const struct {
        std::vector<BYTE> reply;
        int nTempC, nTempMaxC, nTempMaxF;
    } kReplies[] = {
        {StorageTemperatureReply(70, {38, 45}), 38, 70, 158},  // NVMe: warning temperature as the maximum
        {StorageTemperatureReply(0, {44}), 44, 44, 111},       // RAID: no warning temperature
        {StorageTemperatureReply(70, {38}, 39), 0, 0, 0},      // short of its first entry
        {StorageTemperatureReply(70, {}), 0, 0, 0},            // no entry
        {StorageTemperatureReply(70, {-273}), 0, 0, 0},        // absurd
        {StorageTemperatureReply(70, {32767}), 0, 0, 0},
        {StorageTemperatureReply(30, {41}), 41, 41, 105},      // a warning below the current value
        {{}, 0, 0, 0},                                         // refused: Windows before 10
    };
    for (int n = 1; n <= 8; ++n) {
        if (n > 1)
            SmartDisk(fixture, n, "RAID", SmartTable({})).bRefuseIdentify = true;
        drives.Add(n).bRefuseIdentify = true;
        drives[n].storageTemperature = kReplies[n - 1].reply;
    }
    AddMedia(fixture, 9);
    auto records = Run(fixture);
    ASSERT_EQ(9u, records.size());
    EXPECT_EQ(35, records[0].nTempC);
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(kReplies[n - 1].nTempC, records[n].nTempC);
        EXPECT_EQ(kReplies[n - 1].nTempMaxC, records[n].nTempMaxC);
        EXPECT_EQ(kReplies[n - 1].nTempMaxF, records[n].nTempMaxF);
    }
    EXPECT_EQ(100, records[1].nTempF);
    ASSERT_EQ(8u, drives.storageQueries.size());
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(n, drives.storageQueries[n - 1].nDrive);
    // The RAID disks' ATA requests were tried first, and refused at IDENTIFY.
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 2, 3, 4, 5, 6, 7, 8}), RequestedDrives());
}

TEST_F(DriveReport, ADriveWithoutTemperatureReportsZeroNotAnEarlierDrivesValue)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
    SmartDisk(fixture, 1, "ST", SmartTable({{0, 9, 100, 200}}));  // no temperature attribute
    SmartDisk(fixture, 2, "ST", SmartTable({{0, 194, 30, 43}})).bRefuseOpen = true;  // probe only
    SmartDisk(fixture, 3, "ST", SmartTable({{0, 194, 30, 44}})).bRefuseIdentify = true;
    AddMedia(fixture, 4);
    auto records = Run(fixture);
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(41, records[0].nTempC);
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(0, records[k].nTempC) << k;
        EXPECT_EQ(0, records[k].nTempMaxC) << k;
        EXPECT_EQ(0, records[k].nTempF) << k;
        EXPECT_EQ(0, records[k].nTempMaxF) << k;
    }

    // Nor an earlier call's: here no drive gives a temperature at all.
    drives[0].attributes = SmartTable({});
    auto again = Run(fixture);
    ASSERT_EQ(4u, again.size());
    for (const Record& record : again)
        EXPECT_EQ(0, record.nTempC);
}

TEST_F(DriveReport, RandomSmartTablesGiveTheTemperatureOfTheirOwnAttributes)
{
    std::mt19937 random(20240806);
    auto byte = [&] { return static_cast<BYTE>(random() & 0xFF); };
    const char* models[] = {"WDC WD10EZEX", "ST2000DM001", "TOSHIBA DT01", "HDS722020", "Samsung SSD", "wd", "T", ""};
    const int nDrives = 10, nCalls = 300;
    for (int nCall = 0; nCall < nCalls; ++nCall) {
        WmiFixture fixture;
        std::vector<int> expectedC(nDrives), expectedMax(nDrives);
        for (int n = 0; n < nDrives; ++n) {
            Block attributes, thresholds, identify;
            for (int i = 0; i < 512; ++i) {
                attributes[i] = byte();
                thresholds[i] = byte();
                identify[i] = byte();
            }
            // Mostly random IDs, with the temperature IDs planted often.
            for (int p = 0; p < 30; ++p) {
                unsigned nPick = random() % 8;
                BYTE& bId = attributes[2 + 12 * p];
                bId = nPick == 0 ? 190 : nPick == 1 ? 194 : nPick == 2 ? 0 : bId;
            }
            std::string strModel = models[random() % 8];
            SimulatedDrive& drive = SmartDisk(fixture, n, strModel, attributes);
            drive.thresholds = thresholds;
            drive.identify = identify;
            unsigned nFault = random() % 16;
            drive.bRefuseIdentify = nFault == 0;
            drive.bRefuseReadData = nFault == 1;
            drive.bRefuseThresholds = nFault == 2;
            drive.bRefuseEnable = nFault == 3;

            // A refused IDENTIFY or READ DATA leaves the table unread: all zeros.
            DRIVETEMPERATURE t{};
            if (!drive.bRefuseIdentify && !drive.bRefuseReadData)
                t = DriveTemperature(attributes.data(), std::wstring(strModel.begin(), strModel.end()).c_str());
            expectedC[n] = t.nTempCurrent;
            expectedMax[n] = t.nTempMax;
        }
        AddMedia(fixture, nDrives);
        auto records = Run(fixture);
        ASSERT_EQ(static_cast<size_t>(nDrives), records.size()) << "call " << nCall;
        for (int n = 0; n < nDrives; ++n) {
            const Record& r = records[n];
            ASSERT_EQ(expectedC[n], r.nTempC) << "call " << nCall << " drive " << n;
            ASSERT_EQ(expectedMax[n], r.nTempMaxC) << "call " << nCall << " drive " << n;
            ASSERT_EQ(r.nTempC ? (r.nTempC * 18 + 320) / 10 : 0, r.nTempF) << "call " << nCall << " drive " << n;
            ASSERT_EQ(r.nTempC ? (r.nTempMaxC * 18 + 320) / 10 : 0, r.nTempMaxF) << "call " << nCall << " drive " << n;
        }
        ASSERT_EQ(0, drives.nOpenHandles);
    }
}

TEST_F(DriveReport, PropertiesOfOtherTypesReadAsAbsent)
{
    WmiFixture fixture;
    // Slot 0: Size of the wrong type, so the disk is left out.
    fixture.Object("Win32_DiskDrive").Text("Name", DrivePath(0)).Property("Size", "i4", "1000").Property("Capabilities", "i4array", "10").Text("Model", "wrong size");
    // Slot 1: Size VT_NULL.
    fixture.Object("Win32_DiskDrive").Text("Name", DrivePath(1)).Property("Size", "null").Property("Capabilities", "i4array", "10").Text("Model", "null size");
    // Slots 2 to 5: Capabilities VT_NULL, an array of texts, an array pointer of NULL, one integer.
    const char* capabilityTypes[][2] = {{"null", ""}, {"bstrarray", "10|3"}, {"nullarray", ""}, {"i4", "10"}};
    for (int n = 2; n < 6; ++n)
        fixture.Object("Win32_DiskDrive").Text("Name", DrivePath(n)).Text("Size", "1000000000000")
            .Property("Capabilities", capabilityTypes[n - 2][0], capabilityTypes[n - 2][1]).Text("Model", "caps");
    // No Name (VT_NULL), so slot 0; every text of the wrong type or VT_NULL, Partitions as
    // a text, one Get failing.
    fixture.Object("Win32_DiskDrive").Property("Name", "null").Text("Size", "1000000000000");
    fixture.Property("Capabilities", "i4array", "4 10").Property("Model", "i4", "5").Property("Status", "bool", "true");
    fixture.Property("InterfaceType", "null").Property("MediaType", "getfails").Property("Partitions", "bstr", "3");
    // Slot 7: Partitions VT_NULL, Status VT_EMPTY, Model as r8.
    fixture.Object("Win32_DiskDrive").Text("Name", DrivePath(7)).Text("Size", "1000000000000");
    fixture.Property("Capabilities", "i4array", "10").Property("Partitions", "null").Property("Status", "empty").Property("Model", "r8", "1.5");
    for (int k = 0; k < 8; ++k)
        fixture.Medium(DrivePath(k), "S" + std::to_string(k));
    fixture.Object("Win32_PhysicalMedia").Property("Tag", "null").Property("SerialNumber", "null");
    fixture.Object("Win32_PhysicalMedia").Property("Tag", "i4", "7").Property("SerialNumber", "i4", "3");
    auto records = Run(fixture);
    ASSERT_EQ(10u, records.size());
    for (int k = 1; k < 6; ++k) {
        EXPECT_EQ(L"", records[k].strModel) << k;
        EXPECT_EQ(L"", records[k].strSize) << k;
        EXPECT_EQ(L"", records[k].strSmart) << k;
    }
    // The disk without a Name took slot 0, and so did the media without a text Tag.
    for (int k : {0, 8, 9})
        EXPECT_EQ(L"1000 GB", records[k].strSize) << k;
    EXPECT_EQ(L"", records[8].strModel);
    EXPECT_EQ(L"1000 GB", records[8].strSize);
    EXPECT_EQ(L"SMART Enabled", records[8].strSmart);
    EXPECT_EQ(L"", records[8].strStatus);
    EXPECT_EQ(L"", records[8].strInterface);
    EXPECT_EQ(L"", records[8].strMediaType);
    EXPECT_EQ(0, records[8].nPartitions);
    EXPECT_EQ(L"S0", records[8].strSerial) << "an absent serial leaves the slot's";
    EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE0", records[8].strPath);
    EXPECT_EQ(L"1000 GB", records[7].strSize);
    EXPECT_EQ(L"", records[7].strModel);
    EXPECT_EQ(L"", records[7].strStatus);
    EXPECT_EQ(0, records[7].nPartitions);
    EXPECT_EQ(L"S0", records[9].strSerial);
}

TEST_F(DriveReport, NamesAndTagsThatEndInALetterOrAreEmptyUseSlotZero)
{
    WmiFixture fixture;
    fixture.Disk("\\\\.\\PHYSICALDRIVEX", "1000000000000", "3 10", "letter");
    fixture.Disk("", "2000000000000", "3 10", "empty");  // a later disk in the same slot wins
    fixture.Disk(DrivePath(13), "3000000000000", "3 10", "thirteen");
    fixture.Medium("", "A");
    fixture.Medium("\\\\.\\PHYSICALDRIVEZ", "B");
    fixture.Medium(DrivePath(3), "C");
    auto records = Run(fixture);
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(L"empty", records[0].strModel);
    EXPECT_EQ(L"2000 GB", records[0].strSize);
    EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE0", records[0].strPath);
    EXPECT_EQ(L"empty", records[1].strModel);
    EXPECT_EQ(L"B", records[1].strSerial);
    EXPECT_EQ(L"thirteen", records[2].strModel);  // drive 13 shares slot 3
    EXPECT_EQ(L"\\\\.\\PHYSICALDRIVE3", records[2].strPath);
}

TEST_F(DriveReport, MoreThanTwentyMedia)
{
    WmiFixture fixture;
    for (int n = 0; n < 20; ++n)
        SmartDisk(fixture, n, "ST", SmartTable({{0, 194, 30, static_cast<BYTE>(20 + n)}}));
    for (int k = 0; k < 26; ++k)
        fixture.Medium(DrivePath(k % 20), "M" + std::to_string(k));
    auto records = Run(fixture);
    ASSERT_EQ(26u, records.size());
    // Drives 10 to 19 share the slots of 0 to 9 (the last digit): every medium carries
    // the texts and temperatures of the disk WMI listed last in its slot, drives 10 to 19.
    for (int k = 0; k < 26; ++k) {
        EXPECT_EQ(30 + k % 10, records[k].nTempC) << k;
        EXPECT_EQ(L"M" + std::to_wstring(k), records[k].strSerial);
    }
}

TEST_F(DriveReport, ConnectionFailuresAppendNothingAndReleaseEverything)
{
    for (const char* pszStep : {"CreateInstance", "ConnectServer", "SetBlanket", "ExecQuery Win32_PhysicalMedia",
                                "NullEnum Win32_PhysicalMedia"}) {
        WmiFixture fixture;
        SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
        AddMedia(fixture, 1);
        fixture.Fail(pszStep);
        CDriveInfoList list;
        Wmi().Serve(fixture);
        ThreadCall call{report, &list, ~0u};
        win32::UniqueHandle thread(CreateThread(nullptr, 0, CallOnThread, &call, 0, nullptr));
        WaitForSingleObject(thread.get(), INFINITE);
        EXPECT_EQ(0, list.GetCount()) << pszStep;
        EXPECT_EQ(S_OK, call.hrAfter) << pszStep << ": COM is left uninitialised";
        EXPECT_EQ(0, Wmi().LiveObjects()) << pszStep;
    }
}

TEST_F(DriveReport, AFailedDiskQueryStillListsTheMedia)
{
    for (const char* pszStep : {"ExecQuery Win32_DiskDrive", "NullEnum Win32_DiskDrive"}) {
        WmiFixture fixture;
        SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
        AddMedia(fixture, 2);
        fixture.Fail(pszStep);
        auto records = Run(fixture);
        ASSERT_EQ(2u, records.size()) << pszStep;
        EXPECT_EQ(L"", records[0].strModel);
        EXPECT_EQ(L"", records[0].strSmart);
        EXPECT_EQ(L"SN1", records[1].strSerial);
        EXPECT_EQ(0, records[0].nTempC);
        EXPECT_TRUE(drives.requests.empty()) << "no enabled text, so no drive is read";
    }
}

TEST_F(DriveReport, WmiIsAskedAsTheReportNeeds)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
    AddMedia(fixture, 1);
    Run(fixture);
    std::wstring strLog = Wmi().Log();
    EXPECT_EQ((std::vector<std::wstring>{L"CreateInstance"}), LogLines(strLog, L"CreateInstance"));
    EXPECT_EQ((std::vector<std::wstring>{L"ConnectServer 'ROOT\\CIMV2' user=null password=null locale=null flags=0 "
                                         L"authority=null ctx=null"}),
              LogLines(strLog, L"ConnectServer"));
    EXPECT_EQ((std::vector<std::wstring>{L"SetBlanket proxy=set authn=10 authz=0 principal=null level=3 impersonation=3 "
                                         L"identity=null capabilities=0"}),
              LogLines(strLog, L"SetBlanket"));
    EXPECT_EQ((std::vector<std::wstring>{L"ExecQuery 'WQL' 'select * from Win32_DiskDrive' flags=48 ctx=null",
                                         L"ExecQuery 'WQL' 'select * from Win32_PhysicalMedia' flags=48 ctx=null"}),
              LogLines(strLog, L"ExecQuery"));
    for (const std::wstring& strNext : LogLines(strLog, L"Next"))
        EXPECT_EQ(L"Next 4294967295 1", strNext);
    EXPECT_EQ(4u, LogLines(strLog, L"Next").size());  // one object and the end, twice
}

TEST_F(DriveReport, OnAMultithreadedThreadTheCallEndsAfterTheProbe)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "ST", SmartTable({{0, 194, 30, 41}}));
    AddMedia(fixture, 1);
    Wmi().Serve(fixture);
    Wmi().ClearLog();
    drives.ClearRecords();
    CDriveInfoList list;
    ThreadCall call{report, &list, COINIT_MULTITHREADED};
    win32::UniqueHandle thread(CreateThread(nullptr, 0, CallOnThread, &call, 0, nullptr));
    WaitForSingleObject(thread.get(), INFINITE);
    ASSERT_EQ(S_OK, call.hrInit);
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(20u, drives.opens.size());
    EXPECT_TRUE(drives.requests.empty());
    EXPECT_EQ(L"", Wmi().Log());
    EXPECT_EQ(S_FALSE, call.hrAfter) << "the thread's apartment is left as it was";
}

TEST_F(DriveReport, InASingleThreadedApartmentTheCallWorksAndLeavesItAsItWas)
{
    WmiFixture fixture;
    AddMedia(fixture, 2);
    Wmi().Serve(fixture);
    CDriveInfoList list;
    ThreadCall call{report, &list, COINIT_APARTMENTTHREADED};
    win32::UniqueHandle thread(CreateThread(nullptr, 0, CallOnThread, &call, 0, nullptr));
    WaitForSingleObject(thread.get(), INFINITE);
    ASSERT_EQ(S_OK, call.hrInit);
    EXPECT_EQ(2, list.GetCount());
    EXPECT_EQ(RPC_E_CHANGED_MODE, call.hrAfter) << "still single-threaded after the call";
}

TEST_F(DriveReport, TheHostFreesEveryStringAndNodeTheLibraryMade)
{
    WmiFixture fixture;
    SmartDisk(fixture, 0, "WDC WD5000", SmartTable({{0, 194, 30, 41}}));
    SmartDisk(fixture, 1, "ST500", SmartTable({{0, 194, 30, 41}}));
    AddMedia(fixture, 2);
    fixture.Medium("\\\\.\\CDROM0", "CD");
    {
        CDriveInfoList warmUp;  // fills the library's own tables once
        Call(fixture, warmUp);
    }
    LONG nBefore = FxLiveBlockCount();
    {
        CDriveInfoList list(2);
        Call(fixture, list);
        ASSERT_EQ(3, list.GetCount());
        EXPECT_GT(FxLiveBlockCount(), nBefore + 3) << "strings and node blocks were made for the host";
        list.RemoveAll();
        EXPECT_EQ(nBefore, FxLiveBlockCount());
        Call(fixture, list);
        EXPECT_EQ(3, list.GetCount());
    }
    EXPECT_EQ(nBefore, FxLiveBlockCount());
}

TEST_F(DriveReport, ANullListIsIgnored)
{
    WmiFixture fixture;
    AddMedia(fixture, 1);
    Wmi().Serve(fixture);
    drives.ClearRecords();
    report(nullptr);
    EXPECT_TRUE(drives.opens.empty());
}

}  // namespace
