// OnCalcDriveTemperature: one DRIVEINFO record per physical medium, with the texts of its
// disk from WMI and the temperature that the disk's SMART attributes give.
//
// A call runs three passes over one table of disk slots that lives for the call:
// - the disk pass fills a slot from each Win32_DiskDrive, the slot being the last digit
//   of the disk's Name (so drives 10 to 19 share the slots of 0 to 9);
// - the SMART pass visits the first n slots, n being the number of drive paths that
//   opened in the probe, reads the drive of the disk in each and keeps its temperature
//   in that slot;
// - the media pass appends, for each Win32_PhysicalMedia in WMI's order, the texts and
//   temperature of the slot of the medium's Tag.
#include "frame/export.h"

#include <array>

#include "drive/drive_texts.h"
#include "drive/drive_wmi.h"
#include "drive/smart/ata_device.h"
#include "drive/smart/drive_temperature.h"
#include "frame/module_objects.h"

namespace {
constexpr int kProbedDriveCount = 20;
// Slots 0 to 9 are ever filled; positions of the SMART pass reach up to 19.
constexpr int kDriveSlotCount = 20;
// Capabilities value of a disk that supports SMART.
constexpr LONG kSmartNotification = 10;

// What the report knows of the disk in one slot.
struct DRIVESLOT {
    CString strName;
    CString strSmart;
    CString strInterfaceType;
    CString strMediaType;
    CString strModel;
    int nPartitions = 0;
    CString strSerialNumber;  // from the media pass: the last medium of the slot that had one
    CString strSize;
    CString strStatus;
    DRIVETEMPERATURE temperature;  // from the SMART pass
};
using CDriveSlots = std::array<DRIVESLOT, kDriveSlotCount>;

CString DrivePath(int nDrive)
{
    CString strPath;
    strPath.Format(L"\\\\.\\PHYSICALDRIVE%d", nDrive);
    return strPath;
}

win32::UniqueFile OpenDrive(int nDrive)
{
    return win32::UniqueFile(CreateFileW(DrivePath(nDrive), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

// How many of the drive paths 0 to 19 open.
int CountDrives()
{
    int nDrives = 0;
    for (int nDrive = 0; nDrive < kProbedDriveCount; ++nDrive) {
        if (OpenDrive(nDrive))
            ++nDrives;
    }
    return nDrives;
}

// A text property into a slot, unless it is absent or empty.
void StoreText(IWbemClassObject* pObject, LPCWSTR pszName, CString& strSlot)
{
    CString strValue;
    if (ReadWmiText(pObject, pszName, strValue) && !strValue.IsEmpty())
        strSlot = strValue;
}

void ReadDisk(IWbemClassObject* pDisk, CDriveLanguageTexts& texts, CDriveSlots& slots)
{
    CString strSize;
    ULONGLONG ullBytes = ReadWmiText(pDisk, L"Size", strSize) ? ParseDecimal(strSize) : 0;
    if (ullBytes == 0)
        return;
    CString strName;
    ReadWmiText(pDisk, L"Name", strName);
    DRIVESLOT& slot = slots[DriveSlotNumber(strName)];
    bool bSmart = false;
    if (!WmiArrayContains(pDisk, L"Capabilities", kSmartNotification, bSmart))
        return;

    if (bSmart)
        slot.strSmart = texts.SmartEnabled();
    if (slot.strSmart.Compare(texts.SmartEnabled()) != 0)
        slot.strSmart = texts.SmartNotEnabled();

    if (!strName.IsEmpty())
        slot.strName = strName;
    StoreText(pDisk, L"InterfaceType", slot.strInterfaceType);
    StoreText(pDisk, L"MediaType", slot.strMediaType);
    StoreText(pDisk, L"Model", slot.strModel);
    LONG nPartitions = 0;
    if (ReadWmiInt(pDisk, L"Partitions", nPartitions))
        slot.nPartitions = nPartitions;
    slot.strSize = DriveSizeText(ullBytes);
    CString strStatus;
    if (ReadWmiText(pDisk, L"Status", strStatus) && !strStatus.IsEmpty())
        slot.strStatus = texts.StatusText(strStatus);
}

void ReadDisks(IWbemServices* pServices, CDriveLanguageTexts& texts, CDriveSlots& slots)
{
    win32::ComPtr<IEnumWbemClassObject> disks;
    if (!QueryWmi(pServices, L"select * from Win32_DiskDrive", disks))
        return;
    win32::ComPtr<IWbemClassObject> disk;
    while (NextWmiObject(disks.get(), disk))
        ReadDisk(disk.get(), texts, slots);
}

// Reads drive nDrive's SMART tables and applies the temperature rule to them with the
// model WMI gave that drive. A drive that does not open, or a table the drive did not
// give, yields no temperature.
DRIVETEMPERATURE ReadDriveTemperature(int nDrive, const CString& strModel)
{
    win32::UniqueFile drive = OpenDrive(nDrive);
    if (!drive)
        return DRIVETEMPERATURE();
    CATADevice device;
    device.ReadSmartData(drive.get(), nDrive);
    return DriveTemperature(device.m_abAttributes, strModel);
}

// The SMART pass: position p of the first nDrives reads the drive of the disk in slot p
// (a slot without a disk names drive 0) when that drive reports SMART support.
void ReadTemperatures(int nDrives, CDriveLanguageTexts& texts, CDriveSlots& slots)
{
    for (int nPosition = 0; nPosition < nDrives; ++nPosition) {
        int nDrive = DriveSlotNumber(slots[nPosition].strName);
        const DRIVESLOT& disk = slots[nDrive];
        if (ContainsText(disk.strSmart, texts.SmartEnabled()))
            slots[nPosition].temperature = ReadDriveTemperature(nDrive, disk.strModel);
    }
}

// The record of a medium in slot nSlot. WMI need not list the media in drive order, so
// everything, the temperatures too, comes from the slot and nothing from the medium's
// place in the list.
void FillRecord(DRIVEINFO& record, int nSlot, const DRIVESLOT& slot)
{
    record.strDevicePath = DrivePath(nSlot);
    record.strSerialNumber = slot.strSerialNumber;
    record.strSerialNumber.TrimLeft();
    record.strInterfaceType = slot.strInterfaceType;
    record.strMediaType = slot.strMediaType;
    record.strModel = slot.strModel;
    record.strSize = slot.strSize;
    record.strStatus = slot.strStatus;
    record.strSmart = slot.strSmart;
    record.nPartitions = slot.nPartitions;
    record.nTempC = slot.temperature.nTempCurrent;
    record.nTempMaxC = slot.temperature.nTempMax;
    bool bFound = record.nTempC != 0;
    record.nTempF = bFound ? FahrenheitFromCelsius(record.nTempC) : 0;
    record.nTempMaxF = bFound ? FahrenheitFromCelsius(record.nTempMaxC) : 0;
}

// The media pass, filling the application's working record for each medium.
void AppendMedia(IWbemServices* pServices, CDriveSlots& slots, CDriveInfoList* pList)
{
    win32::ComPtr<IEnumWbemClassObject> media;
    if (!QueryWmi(pServices, L"select * from Win32_PhysicalMedia", media))
        return;
    win32::ComPtr<IWbemClassObject> medium;
    while (NextWmiObject(media.get(), medium)) {
        CString strTag;
        ReadWmiText(medium.get(), L"Tag", strTag);
        int nSlot = DriveSlotNumber(strTag);
        CString strSerial;
        if (ReadWmiText(medium.get(), L"SerialNumber", strSerial))
            slots[nSlot].strSerialNumber = strSerial;
        FillRecord(theApp.m_driveRecord, nSlot, slots[nSlot]);
        pList->AddTail(theApp.m_driveRecord);
    }
}

void ReportDrives(CDriveInfoList* pList)
{
    if (!pList)
        return;
    int nDrives = CountDrives();
    theApp.m_driveRecord = DRIVEINFO();

    win32::ComInitGuard com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!com.initialized())
        return;  // e.g. the thread already belongs to the multithreaded apartment
    win32::ComPtr<IWbemLocator> locator;
    win32::ComPtr<IWbemServices> services;
    if (!ConnectToWmi(locator, services))
        return;
    CDriveLanguageTexts texts;
    CDriveSlots slots;
    ReadDisks(services.get(), texts, slots);
    ReadTemperatures(nDrives, texts, slots);
    AppendMedia(services.get(), slots, pList);
}
}  // namespace

WENDLE_API void __cdecl OnCalcDriveTemperature(CDriveInfoList* pList)
{
    RunExport([&] { ReportDrives(pList); });
}
