// CATADevice on its own: the parts of a read that the drive report never shows (identify
// texts and numbers, attribute names, the walk's hand-over). The test links the library's
// SMART piece (drive_smart), so the class's device imports are this program's and lead to
// simulated drives; the walk's receiver here records what it is handed. Then the
// temperature rule, fed worked examples and a captured table.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "drive/smart/ata_device.h"
#include "drive/smart/drive_temperature.h"
#include "drive_test_support.h"

using drive_testing::Block;
using drive_testing::IdentifyBlock;
using drive_testing::SimulatedDrives;
using drive_testing::SmartEntry;
using drive_testing::SmartTable;

namespace {
struct HandedEntry {
    std::string strName;
    std::vector<BYTE> attribute;
    std::vector<BYTE> threshold;
};
struct Recorder : CSmartAttributeSink {
    void OnSmartAttribute(const char* pszName, const BYTE* pAttribute, const BYTE* pThreshold) override
    {
        handed.push_back(HandedEntry{pszName, std::vector<BYTE>(pAttribute, pAttribute + 12),
                                     std::vector<BYTE>(pThreshold, pThreshold + 12)});
    }
    std::vector<HandedEntry> handed;
};

class AtaDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(drives.IsActive());
    }
    // Reads simulated drive nDrive into a new device.
    BOOL Read(int nDrive)
    {
        HANDLE h = drives.Open(nDrive);
        BOOL bRead = device.ReadSmartData(h, nDrive);
        drives.Close(h);
        return bRead;
    }
    static bool AllZero(const BYTE* p, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            if (p[i])
                return false;
        return true;
    }

    SimulatedDrives drives{GetModuleHandleW(nullptr)};
    CATADevice device;
    Recorder walk;
};

TEST_F(AtaDevice, StartsEmptyWithSectorSize512)
{
    EXPECT_EQ(512, device.m_wSectorSize);
    EXPECT_TRUE(AllZero(device.m_abIdentify, 512) && AllZero(device.m_abAttributes, 512) && AllZero(device.m_abThresholds, 512));
    EXPECT_STREQ("", device.m_szModelNumber);
    EXPECT_EQ(0u, device.m_dwTotalSectors);
    EXPECT_EQ(0, device.WalkSmartAttributes(walk));
    EXPECT_TRUE(walk.handed.empty());
}

TEST_F(AtaDevice, IdentifyTextsAreByteSwappedBoundedAndTerminated)
{
    Block identify{};
    // Serial: stored B, a, D, c reads aBcD; the rest of the field is zero.
    memcpy(&identify[20], "BaDc", 4);
    // Model: all 40 characters used, nothing after them in the block is zero either.
    for (int i = 54; i < 94 + 10; ++i)
        identify[i] = static_cast<BYTE>('A' + (i - 54) % 26);
    // Firmware: a zero byte in the middle ends the text.
    memcpy(&identify[46], "1V\0\0" "99", 6);
    drives[1].identify = identify;
    ASSERT_TRUE(Read(1));

    EXPECT_STREQ("aBcD", device.m_szSerialNumber);
    std::string strModel;
    for (int i = 0; i < 40; i += 2) {
        strModel += static_cast<char>('A' + (i + 1) % 26);
        strModel += static_cast<char>('A' + i % 26);
    }
    EXPECT_EQ(strModel, std::string(device.m_szModelNumber));
    EXPECT_EQ('\0', device.m_szModelNumber[40]);
    EXPECT_STREQ("V1", device.m_szFirmwareRevision);
    EXPECT_TRUE(AllZero(reinterpret_cast<const BYTE*>(device.m_szFirmwareRevision) + 2, 7));
    EXPECT_EQ(0, memcmp(identify.data(), device.m_abIdentify, 512));
}

TEST_F(AtaDevice, IdentifyNumbersFollowTheValidityWord)
{
    Block identify = IdentifyBlock("S", "M", "F");
    auto putWord = [&](int nWord, WORD w) {
        identify[2 * nWord] = LOBYTE(w);
        identify[2 * nWord + 1] = HIBYTE(w);
    };
    putWord(1, 16383);
    putWord(3, 16);
    putWord(6, 63);
    putWord(53, 0x0002);  // timing valid, geometry not
    putWord(60, 0x5678);
    putWord(61, 0x1234);
    putWord(62, 0x0407);
    putWord(63, 0x0207);
    putWord(64, 0x0103);
    putWord(65, 0x0178);
    putWord(66, 0x0178);
    putWord(67, 0x01F0);
    putWord(68, 0x0178);
    putWord(80, 0x01FE);
    putWord(81, 0x0021);
    putWord(82, 0x746B);
    putWord(129, 0xAB12);
    drives[0].identify = identify;
    ASSERT_TRUE(Read(0));

    EXPECT_EQ(0x12345678u, device.m_dwTotalSectors);
    EXPECT_EQ(0xFE, device.m_wMajorVersion);
    EXPECT_EQ(0x21, device.m_wMinorVersion);
    EXPECT_EQ(0x12, device.m_wVendorWord);
    EXPECT_EQ(0u, device.m_dwCylinders);  // bit 0 clear: geometry not taken
    EXPECT_EQ(0u, device.m_dwHeads);
    EXPECT_EQ(0u, device.m_dwSectorsPerTrack);
    EXPECT_EQ(0x0407, device.m_wSinglewordDmaWord);
    EXPECT_EQ(0x04, device.m_wSinglewordDmaActive);
    EXPECT_EQ(0x0207, device.m_wMultiwordDmaWord);
    EXPECT_EQ(0x02, device.m_wMultiwordDmaActive);
    EXPECT_EQ(0x03, device.m_wPioModes);
    EXPECT_EQ(0x78, device.m_wMinMultiwordDmaCycle);
    EXPECT_EQ(0x78, device.m_wRecommendedMultiwordDmaCycle);
    EXPECT_EQ(0xF0, device.m_wMinPioCycle);
    EXPECT_EQ(0x78, device.m_wMinPioCycleIordy);
    EXPECT_EQ(0x6B, device.m_wCommandSets);

    CATADevice geometry;
    putWord(53, 0x0001);
    drives[0].identify = identify;
    HANDLE h = drives.Open(0);
    ASSERT_TRUE(geometry.ReadSmartData(h, 0));
    drives.Close(h);
    EXPECT_EQ(16383u, geometry.m_dwCylinders);
    EXPECT_EQ(16u, geometry.m_dwHeads);
    EXPECT_EQ(63u, geometry.m_dwSectorsPerTrack);
    EXPECT_EQ(0, geometry.m_wSinglewordDmaWord);  // bit 1 clear: timing not taken
    EXPECT_EQ(0, geometry.m_wMinPioCycleIordy);
}

TEST_F(AtaDevice, WalkHandsOnEveryNonEmptyEntryOfTheThirty)
{
    drives[0].identify = IdentifyBlock("S", "M", "F");
    drives[0].attributes = SmartTable({{0, 194, 30, 41}, {29, 5, 100, 0}});
    drives[0].attributes[0] = 0x22;
    drives[0].attributes[362] = 190;  // after the 30th entry: not an entry
    drives[0].thresholds = SmartTable({{0, 194, 0, 0}, {29, 5, 0, 0}});
    drives[0].thresholds[0] = 0x33;
    ASSERT_TRUE(Read(0));
    EXPECT_EQ(0x22, device.m_wAttributeRevision);
    EXPECT_EQ(0x33, device.m_wThresholdRevision);

    EXPECT_EQ(0, device.WalkSmartAttributes(walk));
    ASSERT_EQ(2u, walk.handed.size());
    EXPECT_EQ("Internal Temperature", walk.handed[0].strName);
    EXPECT_EQ(std::vector<BYTE>(drives[0].attributes.begin() + 2, drives[0].attributes.begin() + 14), walk.handed[0].attribute);
    EXPECT_EQ(std::vector<BYTE>(drives[0].thresholds.begin() + 2, drives[0].thresholds.begin() + 14), walk.handed[0].threshold);
    EXPECT_EQ("Reallocated Sector Count", walk.handed[1].strName);
    EXPECT_EQ(5, walk.handed[1].attribute[0]);
    EXPECT_EQ(5, walk.handed[1].threshold[0]);
}

TEST_F(AtaDevice, AttributeNames)
{
    EXPECT_STREQ("Raw Read Error Rate", CATADevice::GetSmartAttributeName(1));
    EXPECT_STREQ("Power On Hours Count", CATADevice::GetSmartAttributeName(9));
    EXPECT_STREQ("Power Cycle Count", CATADevice::GetSmartAttributeName(12));
    EXPECT_STREQ("Air flow Temperature", CATADevice::GetSmartAttributeName(190));
    EXPECT_STREQ("Internal Temperature", CATADevice::GetSmartAttributeName(194));
    EXPECT_STREQ("Off-line Scan Incorrect. Sector Count", CATADevice::GetSmartAttributeName(198));
    EXPECT_STREQ("Write Error Count", CATADevice::GetSmartAttributeName(200));
    EXPECT_STREQ("Drive Temperature", CATADevice::GetSmartAttributeName(231));
    for (BYTE bId : {0, 13, 189, 191, 193, 195, 196, 201, 230, 232, 255})
        EXPECT_STREQ("Unknown", CATADevice::GetSmartAttributeName(bId)) << int(bId);
}

TEST_F(AtaDevice, ARejectedIdentifyEndsTheReadBeforeAnySmartRequest)
{
    drives[0].bRefuseIdentify = true;
    drives[0].attributes = SmartTable({{0, 194, 30, 41}});
    EXPECT_FALSE(Read(0));
    ASSERT_EQ(1u, drives.requests.size());
    EXPECT_TRUE(AllZero(device.m_abAttributes, 512) && AllZero(device.m_abThresholds, 512));
    device.WalkSmartAttributes(walk);
    EXPECT_TRUE(walk.handed.empty());
}

TEST_F(AtaDevice, AFailedReadDataEndsTheReadBeforeTheThresholds)
{
    drives[0].identify = IdentifyBlock("SER", "MODEL", "FW");
    drives[0].bRefuseReadData = true;
    drives[0].thresholds = SmartTable({{0, 194, 0, 0}});
    EXPECT_FALSE(Read(0));
    ASSERT_EQ(3u, drives.requests.size());  // identify, enable, read data
    EXPECT_EQ(0xD0, drives.requests[2].input[4]);
    EXPECT_STREQ("SER", std::string(device.m_szSerialNumber).substr(0, 3).c_str());
    EXPECT_TRUE(AllZero(device.m_abThresholds, 512));
    EXPECT_EQ(0, device.m_wThresholdRevision);
}

TEST_F(AtaDevice, ARefusedEnableIsIgnoredAndAFailedThresholdReadFails)
{
    drives[0].identify = IdentifyBlock("S", "M", "F");
    drives[0].bRefuseEnable = true;
    drives[0].attributes = SmartTable({{3, 194, 30, 41}});
    EXPECT_TRUE(Read(0));
    EXPECT_EQ(4u, drives.requests.size());
    EXPECT_EQ(0x10, device.m_wAttributeRevision);

    CATADevice other;
    drives[0].bRefuseThresholds = true;
    HANDLE h = drives.Open(0);
    EXPECT_FALSE(other.ReadSmartData(h, 0));
    drives.Close(h);
    EXPECT_EQ(0x10, other.m_wAttributeRevision);
    EXPECT_EQ(0, other.m_wThresholdRevision);
}

TEST_F(AtaDevice, AnInvalidHandleSendsNothing)
{
    device.m_nDrive = 7;
    EXPECT_FALSE(device.ReadSmartData(INVALID_HANDLE_VALUE, 3));
    EXPECT_TRUE(drives.requests.empty());
    EXPECT_EQ(7, device.m_nDrive);
}

TEST(DriveTemperature, WorkedExamples)
{
    for (const drive_testing::TemperatureExample& example : drive_testing::TemperatureExamples()) {
        std::wstring strModel(example.pszModel, example.pszModel + strlen(example.pszModel));
        DRIVETEMPERATURE t = DriveTemperature(SmartTable(example.entries).data(), strModel.c_str());
        EXPECT_EQ(example.nTempC, t.nTempCurrent) << example.pszModel;
        EXPECT_EQ(example.nTempMaxC, t.nTempMax) << example.pszModel;
        EXPECT_EQ(example.nTempF, example.nTempC ? FahrenheitFromCelsius(t.nTempCurrent) : 0) << example.pszModel;
        EXPECT_EQ(example.nTempMaxF, example.nTempC ? FahrenheitFromCelsius(t.nTempMax) : 0) << example.pszModel;
    }
    EXPECT_EQ(0, DriveTemperature(Block{}.data(), nullptr).nTempMax);  // a table never read
}

// Many drives keep the lowest and highest temperature they met in the raw value beside the
// current one; that highest is the maximum. Elsewhere the worst value, a normalised score,
// serves only where it is not below the current temperature.
TEST(DriveTemperature, MaximumIsTheHighestTheDriveRecorded)
{
    const struct {
        const wchar_t* pszModel;
        SmartEntry entry;
        int nTempMax;
    } examples[] = {
        {L"FUJITSU MHV2080AH", {0, 194, 100, 28, {0, 15, 0, 54, 0}}, 54},
        {L"ST9500325AS", {0, 190, 47, 35, {0, 22, 53, 0, 0}}, 53},
        {L"HDS721010", {0, 194, 157, 38, {0, 20, 0, 47, 0}}, 47},  // not the maker rule's 53
        {L"ST3500418AS", {0, 190, 20, 35}, 35},                   // no record, worst value below
        {L"ST", {0, 190, 100, 40, {0, 40, 40, 0, 0}}, 40},          // extremes at the current value
        {L"ST", {0, 190, 30, 40, {0, 20, 127, 0, 0}}, 127},
        // Bytes that are no such record: the worst value, raised to the current one.
        {L"ST", {0, 190, 30, 40, {0, 20, 128, 0, 0}}, 40},
        {L"ST", {0, 190, 30, 40, {0, 20, 50, 7, 0}}, 40},
        {L"ST", {0, 190, 30, 40, {0, 45, 50, 0, 0}}, 40},
        {L"ST", {0, 194, 30, 40, {0, 20, 39, 0, 0}}, 40},
        {L"WDC WD5000AAKS", {0, 194, 30, 40, {0, 0, 0, 3, 0}}, 55},  // one byte: the maker rule
    };
    for (size_t i = 0; i < std::size(examples); ++i) {
        DRIVETEMPERATURE t = DriveTemperature(SmartTable({examples[i].entry}).data(), examples[i].pszModel);
        EXPECT_EQ(examples[i].entry.bRaw, t.nTempCurrent) << "example " << i;
        EXPECT_EQ(examples[i].nTempMax, t.nTempMax) << "example " << i;
    }
}

TEST(DriveTemperature, CapturedTable)
{
    // 190 stands before 194: the highest temperature it recorded (36, min/max 30/48) is the
    // maximum, whatever the maker.
    Block table = drive_testing::CapturedSeagateTable();
    EXPECT_EQ(36, DriveTemperature(table.data(), L"ST3500418AS").nTempCurrent);
    EXPECT_EQ(48, DriveTemperature(table.data(), L"WDC WD5000AAKS").nTempMax);
    // Without 190, 194 gives the temperature; its worst value only for other makers.
    table[2 + 12 * 12] = 0;
    EXPECT_EQ(53, DriveTemperature(table.data(), L"ST3500418AS").nTempMax);
    EXPECT_EQ(51, DriveTemperature(table.data(), L"WDC WD5000AAKS").nTempMax);
}

}  // namespace
