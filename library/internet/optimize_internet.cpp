// OptimizeInternet: TCP/IP registry tuning for the host's connection type, the record of
// what was optimised in the settings file, the notice to the host window and, on request,
// the report through the result file and the notifier.
#include "frame/export.h"

#include "frame/data_folder.h"
#include "frame/language.h"
#include "frame/notifier.h"
#include "frame/profile.h"
#include "internet/tcpip_parameters.h"

namespace {
struct ConnectionProfile {
    DWORD dwMtu;
    const wchar_t* pszRcvWindow;
    const wchar_t* pszTtl;
    const wchar_t* pszDescriptionKey;
};

// Indexed by connection type: modem, DSL, LAN, T1.
constexpr ConnectionProfile kProfiles[] = {
    {576, L"4288", L"128", L"IDS_INFO_MODEM"},
    {1492, L"4288", L"128", L"IDS_INFO_DSL"},
    {1500, L"371260", L"128", L"IDS_INFO_LAN"},
    {1500, L"371260", L"128", L"IDS_INFO_T1"},
};
constexpr int kProfileCount = sizeof(kProfiles) / sizeof(kProfiles[0]);

constexpr const wchar_t* kDescriptionSection = L"Tessary Internet Speed Optimizer";
constexpr const wchar_t* kSettingsSection = L"Internet Speed Enhancer";

void OptimizeForConnection(int nConnectionType, int bNotify)
{
    const ConnectionProfile* pProfile = nConnectionType >= 0 && nConnectionType < kProfileCount ? &kProfiles[nConnectionType] : nullptr;
    // An unknown type changes nothing and is described by the empty text.
    CString strDescription;
    // A known type whose values could not be written at all (the host may not write the
    // machine's keys) optimised nothing: the settings keep what was optimised before, the
    // report says "finished without a result" and no "optimised" popup is shown.
    bool bTuned = false;
    if (pProfile) {
        bTuned = SetTcpIpParameters(pProfile->dwMtu, pProfile->pszTtl, pProfile->pszRcvWindow) > 0;
        // From the language file current when the call began, before any resolution below.
        strDescription = LanguageText(kDescriptionSection, pProfile->pszDescriptionKey);
    }
    if (bTuned || !pProfile)
        WriteSettingText(kSettingsSection, L"IDS_OPTIMIZEDINTERNET", strDescription);
    NotifyHostWindow();
    if (!bNotify)
        return;

    CString strResultFile = GetDataFilePath(kResultFileName);
    WriteResultValue(strResultFile, L"IDS_CLOUD_INTOPT", bTuned ? strDescription : CString());
    WriteResultValue(strResultFile, L"IDS_CLOUD_INTOPT_STATUS", bTuned ? L"2" : L"3");
    if (pProfile && !bTuned)
        return;
    ResolveLanguageFile();
    CString strMessage = LanguageShortText(kOptimizerSection, L"IDS_CLOUD_INTERNET_TEXT");
    strMessage += strDescription;
    CString strTitle = LanguageShortText(kOptimizerSection, L"IDS_OPTIMIZEDINTERNET");
    ShowCloudPopup(strResultFile, strTitle, strMessage);
}
}  // namespace

WENDLE_API void __cdecl OptimizeInternet(int nConnectionType, int bNotify)
{
    RunExport([&] { OptimizeForConnection(nConnectionType, bNotify); });
}
