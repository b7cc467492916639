// OnCalcDriveTemperature: one DRIVEINFO record per physical medium, with the texts of its
// disk from WMI and the temperature that the disk's SMART attributes give.
//
// A call runs three passes over one table of disk slots that lives for the call:
// - the disk pass fills a slot from each Win32_DiskDrive, the slot being the last digit
//   of the disk's Name (so drives 10 to 19 share the slots of 0 to 9);
// - the SMART pass visits every drive number that opened in the probe, whatever gaps lie
//   between them, reads the drive when the disk in its slot is that drive and keeps the
//   temperature in that slot; where SMART gives none (NVMe and RAID disks refuse ATA
//   requests), the storage driver's temperature property is asked once;
// - the media pass appends, for each Win32_PhysicalMedia in WMI's order, the texts and
//   temperature of the slot of the medium's Tag.
#include "frame/export.h"

#include <array>

#include "drive/drive_texts.h"
#include "drive/drive_wmi.h"
#include "drive/smart/ata_device.h"
#include "drive/smart/drive_temperature.h"
#include "drive/smart/storage_temperature.h"
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

// "\\.\PHYSICALDRIVE" and the drive number (0 to 19), put together without the printf
// family, which under Wine costs a good part of a report.
CString DrivePath(int nDrive)
{
    CString strPath(L"\\\\.\\PHYSICALDRIVE");
    if (nDrive >= 10)
        strPath += static_cast<wchar_t>(L'0' + nDrive / 10 % 10);
    strPath += static_cast<wchar_t>(L'0' + nDrive % 10);
    return strPath;
}

win32::UniqueFile OpenDrive(int nDrive)
{
    return win32::UniqueFile(CreateFileW(DrivePath(nDrive), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Which of the drive paths 0 to 19 open. Numbers need not run without gaps: a removed
// USB stick, a card reader or a storage pool leaves holes.
using COpenedDrives = std::array<bool, kProbedDriveCount>;
COpenedDrives ProbeDrives()
{
    COpenedDrives opened{};
    for (int nDrive = 0; nDrive < kProbedDriveCount; ++nDrive)
        opened[nDrive] = static_cast<bool>(OpenDrive(nDrive));
    return opened;
}

// The drive number of the disk in a slot: the number its Name ends in ("\\.\PHYSICALDRIVE12"
// gives 12, in slot 2), or the slot's own number when the Name ends in none.
int SlotDriveNumber(const DRIVESLOT& slot, int nSlot)
{
    int nEnd = slot.strName.GetLength(), nStart = nEnd;
    while (nStart > 0 && nEnd - nStart < 9 && slot.strName[nStart - 1] >= L'0' && slot.strName[nStart - 1] <= L'9')
        --nStart;
    return nStart == nEnd ? nSlot : static_cast<int>(ParseDecimal(slot.strName.Mid(nStart)));
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

// Drive nDrive's temperature: from its SMART tables, read when the disk reports SMART
// support, with the temperature rule and the model WMI gave that drive; where they give
// none, from the storage driver, asked once on the same handle. A drive that does not
// open yields none.
DRIVETEMPERATURE ReadDriveTemperature(int nDrive, const CString& strModel, bool bSmart)
{
    win32::UniqueFile drive = OpenDrive(nDrive);
    if (!drive)
        return DRIVETEMPERATURE();
    DRIVETEMPERATURE temperature;
    if (bSmart) {
        CATADevice device;
        device.ReadSmartData(drive.get(), nDrive);
        temperature = DriveTemperature(device.m_abAttributes, strModel);
    }
    return temperature.nTempCurrent != 0 ? temperature : QueryStorageTemperature(drive.get());
}

// The SMART pass: every drive that opened in the probe, in number order, whose slot holds
// its own disk (or none); a slot that holds another drive's disk (drive 2 and drive 12
// share slot 2) keeps that drive's temperature, never this one's.
void ReadTemperatures(const COpenedDrives& opened, CDriveLanguageTexts& texts, CDriveSlots& slots)
{
    for (int nDrive = 0; nDrive < kProbedDriveCount; ++nDrive) {
        const int nSlot = nDrive % 10;  // the last digit of its path, as for its disk's Name
        DRIVESLOT& slot = slots[nSlot];
        if (opened[nDrive] && SlotDriveNumber(slot, nSlot) == nDrive) {
            const bool bSmart = ContainsText(slot.strSmart, texts.SmartEnabled());
            slot.temperature = ReadDriveTemperature(nDrive, slot.strModel, bSmart);
        }
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
    const COpenedDrives opened = ProbeDrives();
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
    ReadTemperatures(opened, texts, slots);
    AppendMedia(services.get(), slots, pList);
}
}  // namespace

WENDLE_API void __cdecl OnCalcDriveTemperature(CDriveInfoList* pList)
{
    RunExport([&] { ReportDrives(pList); });
}
