#include "drive/smart/drive_temperature.h"

#include <cwchar>

#include "drive/smart/ata_device.h"

namespace {
constexpr BYTE kAirflowTemperature = 190;
constexpr BYTE kInternalTemperature = 194;
// The worst value of attribute 194 on the drives of these makers is no maximum.
constexpr int kMaximumAboveCurrent = 15;

bool StartsWithNoCase(const wchar_t* pszText, const wchar_t* pszPrefix)
{
    return _wcsnicmp(pszText, pszPrefix, wcslen(pszPrefix)) == 0;
}

bool ReportsNoMaximum(const wchar_t* pszModel)
{
    return StartsWithNoCase(pszModel, L"WD") || StartsWithNoCase(pszModel, L"TOS") ||
           StartsWithNoCase(pszModel, L"HDS");
}

// Takes the temperature from the entries of one walk, in table order.
class CTemperatureRule final : public CSmartAttributeSink {
public:
    explicit CTemperatureRule(const wchar_t* pszModel) : m_bMakerRule(ReportsNoMaximum(pszModel ? pszModel : L"")) {}

    void OnSmartAttribute(const char* /*pszName*/, const BYTE* pAttribute, const BYTE* /*pThreshold*/) override
    {
        BYTE bWorst = pAttribute[4];
        BYTE bRaw = pAttribute[5];  // lowest byte of the raw value: degrees Celsius
        if (pAttribute[0] == kAirflowTemperature) {
            m_temperature = {bRaw, bWorst};
            m_bAirflowSeen = true;
        } else if (pAttribute[0] == kInternalTemperature && !m_bAirflowSeen) {
            m_temperature = {bRaw, m_bMakerRule ? bRaw + kMaximumAboveCurrent : bWorst};
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
