#include "drive/smart/ata_device.h"

#include <cstddef>
#include <cstring>

namespace {
constexpr BYTE kIdentifyCommand = 0xEC;
constexpr BYTE kSmartCommand = 0xB0;
constexpr BYTE kSmartReadData = 0xD0;
constexpr BYTE kSmartReadThresholds = 0xD1;
constexpr BYTE kSmartEnableOperations = 0xD8;
constexpr BYTE kSmartCylLow = 0x4F;
constexpr BYTE kSmartCylHigh = 0xC2;
// Bytes of a request without the data byte, and of a reply header.
constexpr DWORD kRequestLength = sizeof(SENDCMDINPARAMS) - 1;
constexpr DWORD kReplyHeaderLength = sizeof(SENDCMDOUTPARAMS) - 1;
// The reply header's DRIVERSTATUS.bDriverError: non-zero when the drive failed the command.
constexpr size_t kDriverErrorOffset = offsetof(SENDCMDOUTPARAMS, DriverStatus) + offsetof(DRIVERSTATUS, bDriverError);
static_assert(kDriverErrorOffset == 4, "the driver error byte follows the 32-bit buffer size");
// Field-validity bits of identify word 53.
constexpr WORD kGeometryValid = 0x0001;
constexpr WORD kTimingValid = 0x0002;

WORD IdentifyWord(const BYTE* pIdentify, int nWord)
{
    return static_cast<WORD>(pIdentify[2 * nWord] | (pIdentify[2 * nWord + 1] << 8));
}
WORD LowByte(WORD w) { return static_cast<WORD>(w & 0xFF); }
WORD HighByte(WORD w) { return static_cast<WORD>(w >> 8); }

// Identify texts: at most nLength bytes, stopping at a zero byte, then terminated; the
// drive stores the two characters of each word high byte first.
void CopyIdentifyText(char* pszText, const BYTE* pIdentify, int nFirstWord, int nLength)
{
    strncpy(pszText, reinterpret_cast<const char*>(pIdentify + 2 * nFirstWord), nLength);
    pszText[nLength] = '\0';
    for (int i = 0; i + 1 < nLength; i += 2) {
        char ch = pszText[i];
        pszText[i] = pszText[i + 1];
        pszText[i + 1] = ch;
    }
}
}  // namespace

CATADevice::CATADevice()
    : m_wAttributeRevision(0),
      m_wThresholdRevision(0),
      m_abIdentify{},
      m_abThresholds{},
      m_abAttributes{},
      m_wSectorSize(512),
      m_dwTotalSectors(0),
      m_wMinorVersion(0),
      m_wMajorVersion(0),
      m_wMinPioCycleIordy(0),
      m_wMinMultiwordDmaCycle(0),
      m_wPioModes(0),
      m_wSinglewordDmaActive(0),
      m_wMultiwordDmaActive(0),
      m_wSinglewordDmaWord(0),
      m_wMultiwordDmaWord(0),
      m_wCommandSets(0),
      m_dwHeads(0),
      m_dwSectorsPerTrack(0),
      m_dwCylinders(0),
      m_wMinPioCycle(0),
      m_wRecommendedMultiwordDmaCycle(0),
      m_wVendorWord(0),
      m_szSerialNumber{},
      m_szModelNumber{},
      m_szFirmwareRevision{},
      m_hDevice(nullptr),
      m_nDrive(0)
{
}

CATADevice::~CATADevice() = default;

BOOL CATADevice::SendRequest(HANDLE hDevice, DWORD dwCode, BYTE bFeatures, BYTE bCylLow, BYTE bCylHigh,
                             BYTE bCommand, DWORD cbData, DWORD cbSent, BYTE* pData)
{
    SENDCMDINPARAMS request = {};
    request.cBufferSize = cbData;
    request.irDriveRegs.bFeaturesReg = bFeatures;
    request.irDriveRegs.bSectorCountReg = 1;
    request.irDriveRegs.bSectorNumberReg = 1;
    request.irDriveRegs.bCylLowReg = bCylLow;
    request.irDriveRegs.bCylHighReg = bCylHigh;
    // Master or slave by bit 0 of the drive number (bit 4 of the drive/head register).
    request.irDriveRegs.bDriveHeadReg = static_cast<BYTE>(0xA0 | ((m_nDrive & 1) << 4));
    request.irDriveRegs.bCommandReg = bCommand;
    request.bDriveNumber = static_cast<BYTE>(m_nDrive);

    BYTE abReply[kReplyHeaderLength + kAtaBlockLength] = {};
    DWORD cbReturned = 0;
    if (!DeviceIoControl(hDevice, dwCode, &request, cbSent, abReply, kReplyHeaderLength + cbData, &cbReturned, nullptr))
        return FALSE;
    // The driver can accept the call and still report that the drive failed the command;
    // such a reply's data is not the drive's and is not kept.
    if (abReply[kDriverErrorOffset] != 0)
        return FALSE;
    if (pData)
        memcpy(pData, abReply + kReplyHeaderLength, cbData);
    return TRUE;
}

BOOL CATADevice::ReadSmartData(HANDLE hDevice, int nDrive)
{
    if (hDevice == INVALID_HANDLE_VALUE)
        return FALSE;
    m_nDrive = nDrive;
    m_hDevice = hDevice;
    // The identify request is the only one sent with its data byte.
    if (!SendRequest(hDevice, SMART_RCV_DRIVE_DATA, 0x00, 0x00, 0x00, kIdentifyCommand, kAtaBlockLength,
                     kRequestLength + 1, m_abIdentify))
        return FALSE;

    CopyIdentifyText(m_szSerialNumber, m_abIdentify, 10, 20);
    CopyIdentifyText(m_szModelNumber, m_abIdentify, 27, 40);
    CopyIdentifyText(m_szFirmwareRevision, m_abIdentify, 23, 8);
    m_dwTotalSectors = IdentifyWord(m_abIdentify, 60) | (static_cast<DWORD>(IdentifyWord(m_abIdentify, 61)) << 16);
    m_wMajorVersion = LowByte(IdentifyWord(m_abIdentify, 80));
    m_wMinorVersion = LowByte(IdentifyWord(m_abIdentify, 81));
    m_wVendorWord = LowByte(IdentifyWord(m_abIdentify, 129));
    WORD wValid = IdentifyWord(m_abIdentify, 53);
    if (wValid & kGeometryValid) {
        m_dwCylinders = IdentifyWord(m_abIdentify, 1);
        m_dwHeads = IdentifyWord(m_abIdentify, 3);
        m_dwSectorsPerTrack = IdentifyWord(m_abIdentify, 6);
    }
    if (wValid & kTimingValid) {
        m_wSinglewordDmaWord = IdentifyWord(m_abIdentify, 62);
        m_wMultiwordDmaWord = IdentifyWord(m_abIdentify, 63);
        m_wSinglewordDmaActive = HighByte(m_wSinglewordDmaWord);
        m_wMultiwordDmaActive = HighByte(m_wMultiwordDmaWord);
        m_wPioModes = LowByte(IdentifyWord(m_abIdentify, 64));
        m_wMinMultiwordDmaCycle = LowByte(IdentifyWord(m_abIdentify, 65));
        m_wRecommendedMultiwordDmaCycle = LowByte(IdentifyWord(m_abIdentify, 66));
        m_wMinPioCycle = LowByte(IdentifyWord(m_abIdentify, 67));
        m_wMinPioCycleIordy = LowByte(IdentifyWord(m_abIdentify, 68));
        m_wCommandSets = LowByte(IdentifyWord(m_abIdentify, 82));
    }

    EnableSmart(hDevice);  // some drives refuse it and still answer the reads
    if (!ReadSmartAttributes(hDevice))
        return FALSE;
    m_wAttributeRevision = m_abAttributes[0];
    if (!ReadSmartThresholds(hDevice))
        return FALSE;
    m_wThresholdRevision = m_abThresholds[0];
    return TRUE;
}

BOOL CATADevice::EnableSmart(HANDLE hDevice)
{
    return SendRequest(hDevice, SMART_SEND_DRIVE_COMMAND, kSmartEnableOperations, kSmartCylLow, kSmartCylHigh,
                       kSmartCommand, 0, kRequestLength, nullptr);
}

BOOL CATADevice::ReadSmartAttributes(HANDLE hDevice)
{
    return SendRequest(hDevice, SMART_RCV_DRIVE_DATA, kSmartReadData, kSmartCylLow, kSmartCylHigh, kSmartCommand,
                       kAtaBlockLength, kRequestLength, m_abAttributes);
}

BOOL CATADevice::ReadSmartThresholds(HANDLE hDevice)
{
    return SendRequest(hDevice, SMART_RCV_DRIVE_DATA, kSmartReadThresholds, kSmartCylLow, kSmartCylHigh,
                       kSmartCommand, kAtaBlockLength, kRequestLength, m_abThresholds);
}

void WalkSmartTable(const BYTE* pAttributes, const BYTE* pThresholds, CSmartAttributeSink& sink)
{
    for (int nEntry = 0; nEntry < kSmartEntryCount; ++nEntry) {
        int nOffset = kSmartFirstEntry + kSmartEntryLength * nEntry;
        const BYTE* pAttribute = pAttributes + nOffset;
        if (pAttribute[0] != 0)
            sink.OnSmartAttribute(CATADevice::GetSmartAttributeName(pAttribute[0]), pAttribute, pThresholds + nOffset);
    }
}

int CATADevice::WalkSmartAttributes(CSmartAttributeSink& sink) const
{
    WalkSmartTable(m_abAttributes, m_abThresholds, sink);
    return 0;
}

const char* CATADevice::GetSmartAttributeName(BYTE bId)
{
    switch (bId) {
    case 1: return "Raw Read Error Rate";
    case 2: return "Throughput Performance";
    case 3: return "Spin Up Time";
    case 4: return "Start/Stop Count";
    case 5: return "Reallocated Sector Count";
    case 6: return "Read Channel Margin";
    case 7: return "Seek Error Rate";
    case 8: return "Seek Time Performance";
    case 9: return "Power On Hours Count";
    case 10: return "Spin Retry Count";
    case 11: return "Calibration Retry Count";
    case 12: return "Power Cycle Count";
    case 190: return "Air flow Temperature";
    case 194: return "Internal Temperature";
    case 197: return "Current Pending Sector Count";
    case 198: return "Off-line Scan Incorrect. Sector Count";
    case 199: return "Ultra ATA CRC Error Count";
    case 200: return "Write Error Count";
    case 231: return "Drive Temperature";
    default: return "Unknown";
    }
}
