// Temperatures of the drive report: what the last attribute walk found, and one value per
// position of the report's SMART pass.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

constexpr int kTempPositionCount = 20;

extern int g_anTempCurrent[kTempPositionCount];
extern int g_anTempMax[kTempPositionCount];
extern int g_nTempCurrent;
extern int g_nTempMax;
// Attribute 190 was met during the current walk: its values win over 194's.
extern BOOL g_bAirflowSeen;

// Degrees Fahrenheit for degrees Celsius, truncated toward zero.
int FahrenheitFromCelsius(int nCelsius);
