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
// not read): attribute 190 (air flow) wins wherever it stands, else the last 194; the
// lowest raw byte is the current value and the worst value the maximum, except that
// drives whose model starts with "WD", "TOS" or "HDS" (any case) report no maximum in
// 194, so it is taken as 15 degrees above the current one. A current value of 0 means
// no temperature, and the maximum is then 0 too. pszModel may be null.
DRIVETEMPERATURE DriveTemperature(const BYTE* pAttributeTable, const wchar_t* pszModel);

// Degrees Fahrenheit for degrees Celsius, truncated toward zero.
int FahrenheitFromCelsius(int nCelsius);
