#include "startup/store_values.h"

#include <ctime>

namespace {
// Each field takes its own conversion of the same instant; where local time cannot be
// computed the field holds its fallback.
DWORD LocalTimeField(time_t tNow, int std::tm::*pField, int nOffset, DWORD dwFallback)
{
    const std::tm* pLocal = std::localtime(&tNow);
    return pLocal ? static_cast<DWORD>(pLocal->*pField + nOffset) : dwFallback;
}

bool WriteDwordValue(HKEY hKey, LPCWSTR pszName, DWORD dwData)
{
    return RegSetValueExW(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwData), sizeof(dwData)) == ERROR_SUCCESS;
}
}  // namespace

time_t StoreTimestampNow()
{
    return std::time(nullptr);
}

bool WriteStoreTimestamp(HKEY hKey, time_t tNow)
{
    return WriteDwordValue(hKey, L"DAY", LocalTimeField(tNow, &std::tm::tm_mday, 0, 0)) &&
           WriteDwordValue(hKey, L"HOUR", LocalTimeField(tNow, &std::tm::tm_hour, 0, 0xFFFFFFFF)) &&
           WriteDwordValue(hKey, L"MINUTE", LocalTimeField(tNow, &std::tm::tm_min, 0, 0xFFFFFFFF)) &&
           WriteDwordValue(hKey, L"MONTH", LocalTimeField(tNow, &std::tm::tm_mon, 1, 0)) &&
           WriteDwordValue(hKey, L"SECOND", LocalTimeField(tNow, &std::tm::tm_sec, 0, 0xFFFFFFFF)) &&
           WriteDwordValue(hKey, L"YEAR", LocalTimeField(tNow, &std::tm::tm_year, 1900, 0));
}
