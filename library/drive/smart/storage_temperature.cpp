#include "drive/smart/storage_temperature.h"

#include <winioctl.h>

#include <cstring>

namespace {
static_assert(StorageDeviceTemperatureProperty == 52, "the property id Microsoft documents");

// A running drive reads above freezing; no drive survives much over 100 degrees. 0 would
// read as "no temperature", and -273 or 32767 are what broken firmware answers.
constexpr SHORT kLowestPlausible = 1;
constexpr SHORT kHighestPlausible = 150;

bool IsPlausible(SHORT nCelsius)
{
    return nCelsius >= kLowestPlausible && nCelsius <= kHighestPlausible;
}

// Room for the header and 30 sensors: more than any drive reports.
constexpr DWORD kReplyLength = sizeof(storage_reply::STORAGE_TEMPERATURE_DATA_DESCRIPTOR) +
                               29 * sizeof(storage_reply::STORAGE_TEMPERATURE_INFO);
}  // namespace

DRIVETEMPERATURE StorageTemperature(const BYTE* pReply, DWORD cbReply)
{
    using storage_reply::STORAGE_TEMPERATURE_DATA_DESCRIPTOR;
    STORAGE_TEMPERATURE_DATA_DESCRIPTOR descriptor;
    if (!pReply || cbReply < sizeof(descriptor))
        return DRIVETEMPERATURE();
    std::memcpy(&descriptor, pReply, sizeof(descriptor));  // the reply need not be aligned
    const SHORT nCurrent = descriptor.TemperatureInfo[0].Temperature;
    if (descriptor.InfoCount == 0 || !IsPlausible(nCurrent))
        return DRIVETEMPERATURE();
    const SHORT nWarning = descriptor.WarningTemperature;
    return DRIVETEMPERATURE{nCurrent, IsPlausible(nWarning) && nWarning >= nCurrent ? nWarning : nCurrent};
}

DRIVETEMPERATURE QueryStorageTemperature(HANDLE hDrive)
{
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceTemperatureProperty;
    query.QueryType = PropertyStandardQuery;
    union {
        storage_reply::STORAGE_TEMPERATURE_DATA_DESCRIPTOR descriptor;
        BYTE ab[kReplyLength];
    } reply = {};
    DWORD cbReturned = 0;
    if (!DeviceIoControl(hDrive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &reply, sizeof(reply), &cbReturned,
                         nullptr))
        return DRIVETEMPERATURE();
    return StorageTemperature(reply.ab, cbReturned < sizeof(reply) ? cbReturned : sizeof(reply));
}
