#include "drive/smart/drive_temperature.h"

#include <algorithm>
#include <cwchar>

#include "drive/smart/ata_device.h"

namespace {
constexpr BYTE kAirflowTemperature = 190;
constexpr BYTE kInternalTemperature = 194;
// The worst value of attribute 194 on the drives of these makers is no maximum.
constexpr int kMaximumAboveCurrent = 15;
// A byte of 128 or more is no temperature a drive has met (read as signed, it is below zero).
constexpr BYTE kHighestRecordable = 127;

bool StartsWithNoCase(const wchar_t* pszText, const wchar_t* pszPrefix)
{
    return _wcsnicmp(pszText, pszPrefix, wcslen(pszPrefix)) == 0;
}

bool ReportsNoMaximum(const wchar_t* pszModel)
{
    return StartsWithNoCase(pszModel, L"WD") || StartsWithNoCase(pszModel, L"TOS") ||
           StartsWithNoCase(pszModel, L"HDS");
}

// The highest temperature the drive recorded, or 0. Many makers keep the lifetime lowest
// and highest in the raw value beside the current temperature in byte 0: exactly two
// further non-zero bytes among raw bytes 1 to 5 (Seagate's 190 uses bytes 2 and 3, other
// makers other pairs, the highest first or last), around the current value.
int RecordedMaximum(const BYTE* pRaw)
{
    BYTE abExtremes[2] = {};
    int nCount = 0;
    for (int i = 1; i <= 5; ++i) {
        if (pRaw[i] == 0)
            continue;
        if (nCount == 2)
            return 0;
        abExtremes[nCount++] = pRaw[i];
    }
    const BYTE bLowest = std::min(abExtremes[0], abExtremes[1]);
    const BYTE bHighest = std::max(abExtremes[0], abExtremes[1]);
    const bool bPlausible = nCount == 2 && bLowest <= pRaw[0] && bHighest >= pRaw[0] && bHighest <= kHighestRecordable;
    return bPlausible ? bHighest : 0;
}

// The maximum the drive recorded; else nOtherwise, never below the current temperature: a
// worst value is a normalised score (100 is best), not degrees.
int Maximum(const BYTE* pRaw, int nOtherwise)
{
    const int nRecorded = RecordedMaximum(pRaw);
    return nRecorded != 0 ? nRecorded : std::max<int>(nOtherwise, pRaw[0]);
}

// Takes the temperature from the entries of one walk, in table order.
class CTemperatureRule final : public CSmartAttributeSink {
public:
    explicit CTemperatureRule(const wchar_t* pszModel) : m_bMakerRule(ReportsNoMaximum(pszModel ? pszModel : L"")) {}

    void OnSmartAttribute(const char* /*pszName*/, const BYTE* pAttribute, const BYTE* /*pThreshold*/) override
    {
        const BYTE bWorst = pAttribute[4];
        const BYTE* pRaw = pAttribute + 5;  // the lowest byte is degrees Celsius
        if (pAttribute[0] == kAirflowTemperature) {
            m_temperature = {pRaw[0], Maximum(pRaw, bWorst)};
            m_bAirflowSeen = true;
        } else if (pAttribute[0] == kInternalTemperature && !m_bAirflowSeen) {
            m_temperature = {pRaw[0], Maximum(pRaw, m_bMakerRule ? pRaw[0] + kMaximumAboveCurrent : bWorst)};
        }
    }
    DRIVETEMPERATURE Result() const { return m_temperature.nTempCurrent != 0 ? m_temperature : DRIVETEMPERATURE{}; }

private:
    const bool m_bMakerRule;
    bool m_bAirflowSeen = false;
    DRIVETEMPERATURE m_temperature;
};
}  // namespace

DRIVETEMPERATURE DriveTemperature(const BYTE* pAttributeTable, const wchar_t* pszModel)
{
    static const BYTE kNoThresholds[kAtaBlockLength] = {};  // the rule does not look at them
    CTemperatureRule rule(pszModel);
    WalkSmartTable(pAttributeTable, kNoThresholds, rule);
    return rule.Result();
}

int FahrenheitFromCelsius(int nCelsius)
{
    return static_cast<int>(nCelsius * 1.8 + 32);
}
