// OnCalcDriveTemperature: one DRIVEINFO record per physical medium, with the texts of its
// disk from WMI and the temperature that the disk's SMART attributes give.
#include "frame/export.h"

#include <memory>
#include <new>

#include "drive/ata_device.h"
#include "drive/drive_temperature.h"
#include "drive/drive_texts.h"
#include "drive/drive_wmi.h"
#include "frame/module_objects.h"

namespace {
constexpr int kProbedDriveCount = 20;
// Capabilities value of a disk that supports SMART.
constexpr LONG kSmartNotification = 10;

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
    for (int i = 0; i < kProbedDriveCount; ++i) {
        if (OpenDrive(i))
            ++nDrives;
    }
    return nDrives;
}

void EmptySlots()
{
    for (int s = 0; s < kDriveSlotCount; ++s) {
        theApp.m_astrDriveName[s].Empty();
        theApp.m_astrDriveSmart[s].Empty();
        theApp.m_astrDriveInterface[s].Empty();
        theApp.m_astrDriveMediaType[s].Empty();
        g_astrDriveModel[s].Empty();
        theApp.m_astrDrivePartitions[s].Empty();
        theApp.m_astrDriveSerial[s].Empty();
        theApp.m_astrDriveSize[s].Empty();
        theApp.m_astrDriveStatus[s].Empty();
    }
}

// Each call and each drive starts from "no temperature found": a drive that gives none
// must not report another drive's or an earlier call's.
void ClearTemperatures()
{
    for (int p = 0; p < kTempPositionCount; ++p)
        g_anTempCurrent[p] = g_anTempMax[p] = 0;
    g_nTempCurrent = g_nTempMax = 0;
}

// A text property into a slot, unless it is absent or empty.
void StoreText(IWbemClassObject* pObject, LPCWSTR pszName, CString& strSlot)
{
    CString strValue;
    if (ReadWmiText(pObject, pszName, strValue) && !strValue.IsEmpty())
        strSlot = strValue;
}

void ReadDisk(IWbemClassObject* pDisk, CDriveLanguageTexts& texts)
{
    CString strSize;
    ULONGLONG ullBytes = ReadWmiText(pDisk, L"Size", strSize) ? ParseDecimal(strSize) : 0;
    if (ullBytes == 0)
        return;
    CString strName;
    ReadWmiText(pDisk, L"Name", strName);
    int s = DriveSlotNumber(strName);
    bool bSmart = false;
    if (!WmiArrayContains(pDisk, L"Capabilities", kSmartNotification, bSmart))
        return;

    if (bSmart)
        theApp.m_astrDriveSmart[s] = texts.SmartEnabled();
    if (theApp.m_astrDriveSmart[s].Compare(texts.SmartEnabled()) != 0)
        theApp.m_astrDriveSmart[s] = texts.SmartNotEnabled();

    if (!strName.IsEmpty())
        theApp.m_astrDriveName[s] = strName;
    StoreText(pDisk, L"InterfaceType", theApp.m_astrDriveInterface[s]);
    StoreText(pDisk, L"MediaType", theApp.m_astrDriveMediaType[s]);
    StoreText(pDisk, L"Model", g_astrDriveModel[s]);
    LONG nPartitions = 0;
    if (ReadWmiInt(pDisk, L"Partitions", nPartitions))
        theApp.m_astrDrivePartitions[s].Format(L"%ld", nPartitions);
    theApp.m_astrDriveSize[s] = DriveSizeText(ullBytes);
    CString strStatus;
    if (ReadWmiText(pDisk, L"Status", strStatus) && !strStatus.IsEmpty())
        theApp.m_astrDriveStatus[s] = texts.StatusText(strStatus);
}

void ReadDisks(IWbemServices* pServices, CDriveLanguageTexts& texts)
{
    win32::ComPtr<IEnumWbemClassObject> disks;
    if (!QueryWmi(pServices, L"select * from Win32_DiskDrive", disks))
        return;
    win32::ComPtr<IWbemClassObject> disk;
    while (NextWmiObject(disks.get(), disk))
        ReadDisk(disk.get(), texts);
}

// The temperatures of the first nDrives positions, from the drive of each position's slot
// when that drive reports SMART support.
void ReadTemperatures(int nDrives, CDriveLanguageTexts& texts)
{
    std::unique_ptr<CATADevice> current;
    for (int p = 0; p < nDrives; ++p) {
        int s = DriveSlotNumber(theApp.m_astrDriveName[p]);
        if (!ContainsText(theApp.m_astrDriveSmart[s], texts.SmartEnabled()))
            continue;
        g_nTempCurrent = g_nTempMax = 0;
        win32::UniqueFile drive = OpenDrive(s);
        if (drive) {
            current.reset(new (std::nothrow) CATADevice);  // releases the previous drive's object
            g_pAtaDevice = current.get();
            if (g_pAtaDevice) {
                g_pAtaDevice->ReadSmartData(drive.get(), s);
                g_bAirflowSeen = FALSE;
                g_pAtaDevice->WalkSmartAttributes();
            }
        }
        if (g_nTempCurrent == 0)
            g_nTempMax = 0;
        g_anTempCurrent[p] = g_nTempCurrent;
        g_anTempMax[p] = g_nTempMax;
    }
    g_pAtaDevice = nullptr;
}

void FillRecord(DRIVEINFO& record, int s)
{
    record.strDevicePath = DrivePath(s);
    record.strSerialNumber = theApp.m_astrDriveSerial[s];
    record.strSerialNumber.TrimLeft();
    record.strInterfaceType = theApp.m_astrDriveInterface[s];
    record.strMediaType = theApp.m_astrDriveMediaType[s];
    record.strModel = g_astrDriveModel[s];
    record.strSize = theApp.m_astrDriveSize[s];
    record.strStatus = theApp.m_astrDriveStatus[s];
    record.strSmart = theApp.m_astrDriveSmart[s];
    record.nPartitions = _wtoi(theApp.m_astrDrivePartitions[s]);
    // The temperatures of the record's own slot: position s of the SMART pass read the
    // disk that WMI put in slot s. WMI need not list the media in drive order, so a
    // medium's place in its list says nothing about which drive it is.
    record.nTempC = s < kTempPositionCount ? g_anTempCurrent[s] : 0;
    record.nTempMaxC = s < kTempPositionCount ? g_anTempMax[s] : 0;
    bool bFound = record.nTempC != 0;
    record.nTempF = bFound ? FahrenheitFromCelsius(record.nTempC) : 0;
    record.nTempMaxF = bFound ? FahrenheitFromCelsius(record.nTempMaxC) : 0;
}

void AppendMedia(IWbemServices* pServices, CDriveInfoList* pList)
{
    win32::ComPtr<IEnumWbemClassObject> media;
    if (!QueryWmi(pServices, L"select * from Win32_PhysicalMedia", media))
        return;
    win32::ComPtr<IWbemClassObject> medium;
    while (NextWmiObject(media.get(), medium)) {
        CString strTag;
        ReadWmiText(medium.get(), L"Tag", strTag);
        int s = DriveSlotNumber(strTag);
        CString strSerial;
        if (ReadWmiText(medium.get(), L"SerialNumber", strSerial))
            theApp.m_astrDriveSerial[s] = strSerial;
        FillRecord(theApp.m_driveRecord, s);
        pList->AddTail(theApp.m_driveRecord);
    }
}

void ReportDrives(CDriveInfoList* pList)
{
    if (!pList)
        return;
    int nDrives = CountDrives();
    EmptySlots();
    ClearTemperatures();
    theApp.m_driveRecord = DRIVEINFO();

    win32::ComInitGuard com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!com.initialized())
        return;  // e.g. the thread already belongs to the multithreaded apartment
    win32::ComPtr<IWbemLocator> locator;
    win32::ComPtr<IWbemServices> services;
    if (!ConnectToWmi(locator, services))
        return;
    CDriveLanguageTexts texts;
    ReadDisks(services.get(), texts);
    ReadTemperatures(nDrives, texts);
    for (int s = 0; s < kDriveSlotCount; ++s)
        theApp.m_astrDriveSerial[s].Empty();
    AppendMedia(services.get(), pList);
}
}  // namespace

WENDLE_API void __cdecl OnCalcDriveTemperature(CDriveInfoList* pList)
{
    RunExport([&] { ReportDrives(pList); });
}
