// CATADevice: one ATA disk, read through the disk driver's SMART control codes. The drive
// report makes one object per drive it reads; a walk over the attribute table hands the
// entries to the receiver the caller passes in.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <winioctl.h>

// The driver's request and reply blocks are byte-packed; the data byte at the end is the
// start of the data that follows.
static_assert(sizeof(IDEREGS) == 8, "IDEREGS is the eight IDE registers");
static_assert(sizeof(SENDCMDINPARAMS) == 32 + 1, "SENDCMDINPARAMS is 32 bytes and the data byte");
static_assert(sizeof(DRIVERSTATUS) == 12, "DRIVERSTATUS is 12 bytes");
static_assert(sizeof(SENDCMDOUTPARAMS) == 16 + 1, "SENDCMDOUTPARAMS is 16 bytes and the data byte");

constexpr DWORD kAtaBlockLength = 512;
// SMART tables: byte 0 is the revision, then 30 entries of 12 bytes from byte 2.
constexpr int kSmartEntryCount = 30;
constexpr int kSmartEntryLength = 12;
constexpr int kSmartFirstEntry = 2;

// Receives the entries of a SMART table walk: the 12-byte attribute entry and the
// threshold entry at the same place, with the attribute's display name.
class CSmartAttributeSink {
public:
    virtual void OnSmartAttribute(const char* pszName, const BYTE* pAttribute, const BYTE* pThreshold) = 0;

protected:
    ~CSmartAttributeSink() = default;
};

// Hands every non-empty entry of the 30 in a 512-byte attribute table to sink; an empty
// entry (ID 0) does not end the table.
void WalkSmartTable(const BYTE* pAttributes, const BYTE* pThresholds, CSmartAttributeSink& sink);

class CATADevice {
public:
    CATADevice();
    virtual ~CATADevice();
    CATADevice(const CATADevice&) = delete;
    CATADevice& operator=(const CATADevice&) = delete;

    // Reads IDENTIFY DEVICE, switches SMART on and reads both SMART tables of the drive
    // behind hDevice (not owned); nDrive is the n of "\\.\PHYSICALDRIVEn". TRUE only when
    // both tables were read.
    BOOL ReadSmartData(HANDLE hDevice, int nDrive);
    // SMART ENABLE OPERATIONS: the control call's result.
    BOOL EnableSmart(HANDLE hDevice);
    BOOL ReadSmartAttributes(HANDLE hDevice);
    BOOL ReadSmartThresholds(HANDLE hDevice);
    // Hands every non-empty attribute entry, with the threshold entry at the same place,
    // to sink. Returns 0.
    int WalkSmartAttributes(CSmartAttributeSink& sink) const;
    // Display name of an attribute ID; "Unknown" for IDs without one.
    static const char* GetSmartAttributeName(BYTE bId);

    WORD m_wAttributeRevision;
    WORD m_wThresholdRevision;
    BYTE m_abIdentify[kAtaBlockLength];
    BYTE m_abThresholds[kAtaBlockLength];
    BYTE m_abAttributes[kAtaBlockLength];
    WORD m_wSectorSize;
    DWORD m_dwTotalSectors;
    WORD m_wMinorVersion;
    WORD m_wMajorVersion;
    WORD m_wMinPioCycleIordy;
    WORD m_wMinMultiwordDmaCycle;
    WORD m_wPioModes;
    WORD m_wSinglewordDmaActive;
    WORD m_wMultiwordDmaActive;
    WORD m_wSinglewordDmaWord;
    WORD m_wMultiwordDmaWord;
    WORD m_wCommandSets;
    DWORD m_dwHeads;
    DWORD m_dwSectorsPerTrack;
    DWORD m_dwCylinders;
    WORD m_wMinPioCycle;
    WORD m_wRecommendedMultiwordDmaCycle;
    WORD m_wVendorWord;
    char m_szSerialNumber[21];
    char m_szModelNumber[41];
    char m_szFirmwareRevision[9];
    HANDLE m_hDevice;
    int m_nDrive;

private:
    // One SMART_RCV_DRIVE_DATA or SMART_SEND_DRIVE_COMMAND call; the reply's data bytes
    // (cbData of them) land in pData when the call succeeds and the reply's driver status
    // reports no error. A reply with an error status counts as a failed call.
    BOOL SendRequest(HANDLE hDevice, DWORD dwCode, BYTE bFeatures, BYTE bCylLow, BYTE bCylHigh, BYTE bCommand,
                     DWORD cbData, DWORD cbSent, BYTE* pData);
};
