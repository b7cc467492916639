// The temperature of one drive, from its SMART attribute table and its model text.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// Degrees Celsius; both 0 when the table gives no temperature.
struct DRIVETEMPERATURE {
    int nTempCurrent = 0;
    int nTempMax = 0;
};

// The temperature a 512-byte SMART attribute table gives (all zeros for a table that was
// not read): attribute 190 (air flow) wins wherever it stands, else the last 194. The
// lowest raw byte is the current value. The maximum is the highest temperature the drive
// recorded, where it keeps its lowest and highest in the rest of the raw value. Otherwise
// it is the worst value, or for 194 on drives whose model starts with "WD", "TOS" or "HDS"
// (any case) 15 degrees above the current one, but never below the current value. A
// current value of 0 means no temperature, and the maximum is then 0 too. pszModel may be
// null.
DRIVETEMPERATURE DriveTemperature(const BYTE* pAttributeTable, const wchar_t* pszModel);

// Degrees Fahrenheit for degrees Celsius, truncated toward zero.
int FahrenheitFromCelsius(int nCelsius);
