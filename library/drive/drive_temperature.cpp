#include "drive/drive_temperature.h"

#include "drive/ata_device.h"
#include "frame/module_objects.h"

int g_anTempCurrent[kTempPositionCount] = {};
int g_anTempMax[kTempPositionCount] = {};
int g_nTempCurrent = 0;
int g_nTempMax = 0;
BOOL g_bAirflowSeen = FALSE;

namespace {
constexpr BYTE kAirflowTemperature = 190;
constexpr BYTE kInternalTemperature = 194;

// These makers' drives report only the current temperature in attribute 194; their
// maximum is taken as 15 degrees above it.
bool ReportsNoMaximum(const CString& strModel)
{
    return strModel.Left(2).CompareNoCase(L"WD") == 0 || strModel.Left(3).CompareNoCase(L"TOS") == 0 ||
           strModel.Left(3).CompareNoCase(L"HDS") == 0;
}

// The rule above, for the drive whose table is being walked: WMI's model in the slot of
// the current device's drive number. On a machine with several disks, another slot's
// model says nothing about this drive.
bool WalkedDriveReportsNoMaximum()
{
    if (!g_pAtaDevice || g_pAtaDevice->m_nDrive < 0 || g_pAtaDevice->m_nDrive >= kDriveSlotCount)
        return false;
    return ReportsNoMaximum(g_astrDriveModel[g_pAtaDevice->m_nDrive]);
}
}  // namespace

void OnSmartAttribute(const char* /*pszName*/, const BYTE* pAttribute, const BYTE* /*pThreshold*/)
{
    BYTE bWorst = pAttribute[4];
    BYTE bRaw = pAttribute[5];  // lowest byte of the raw value: degrees Celsius
    if (pAttribute[0] == kAirflowTemperature) {
        g_nTempCurrent = bRaw;
        g_nTempMax = bWorst;
        g_bAirflowSeen = TRUE;
    } else if (pAttribute[0] == kInternalTemperature && !g_bAirflowSeen) {
        g_nTempCurrent = bRaw;
        g_nTempMax = WalkedDriveReportsNoMaximum() ? bRaw + 15 : bWorst;
    }
}

int FahrenheitFromCelsius(int nCelsius)
{
    return static_cast<int>(nCelsius * 1.8 + 32);
}
