// The temperature the storage driver reports for a drive, where its SMART attributes give
// none: NVMe SSDs and disks behind RAID or storage controllers refuse ATA requests, and
// Windows 10 and later answer the storage temperature property for them instead.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>

#include "drive/smart/drive_temperature.h"

// The reply layouts Microsoft documents for StorageDeviceTemperatureProperty, which this
// mingw-w64 lacks; in a namespace of their own so that a header that has them does not clash.
namespace storage_reply {
struct STORAGE_TEMPERATURE_INFO {
    WORD Index;
    SHORT Temperature;  // degrees Celsius
    SHORT OverThreshold;
    SHORT UnderThreshold;
    BOOLEAN OverThresholdChangable;
    BOOLEAN UnderThresholdChangable;
    BOOLEAN EventGenerated;
    BYTE Reserved0;
    DWORD Reserved1;
};
static_assert(sizeof(STORAGE_TEMPERATURE_INFO) == 16, "STORAGE_TEMPERATURE_INFO is 16 bytes");

struct STORAGE_TEMPERATURE_DATA_DESCRIPTOR {
    DWORD Version;
    DWORD Size;
    SHORT CriticalTemperature;
    SHORT WarningTemperature;  // degrees Celsius: the drive's own upper limit
    WORD InfoCount;
    BYTE Reserved0[2];
    DWORD Reserved1[2];
    STORAGE_TEMPERATURE_INFO TemperatureInfo[1];
};
static_assert(offsetof(STORAGE_TEMPERATURE_DATA_DESCRIPTOR, TemperatureInfo) == 24, "the descriptor's header is 24 bytes");
}  // namespace storage_reply

// The temperature a reply of cbReply bytes gives: the first sensor's value, when the reply
// holds that whole entry and the value is a plausible drive temperature (1 to 150 degrees
// Celsius); the maximum is the drive's warning temperature where that is plausible and not
// below the current value, else the current value. Nothing (both 0) otherwise.
DRIVETEMPERATURE StorageTemperature(const BYTE* pReply, DWORD cbReply);

// One IOCTL_STORAGE_QUERY_PROPERTY of the temperature property on the drive's handle.
// Earlier Windows and drivers without the property refuse it: nothing then.
DRIVETEMPERATURE QueryStorageTemperature(HANDLE hDrive);
