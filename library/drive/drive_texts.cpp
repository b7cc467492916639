#include "drive/drive_texts.h"

#include "frame/profile.h"

bool ContainsText(const CString& str, const CString& strPart)
{
    return str.Find(strPart) >= 0;
}

int DriveSlotNumber(const CString& strName)
{
    int nLength = strName.GetLength();
    wchar_t chLast = nLength ? strName[nLength - 1] : L'\0';
    return chLast >= L'0' && chLast <= L'9' ? chLast - L'0' : 0;
}

ULONGLONG ParseDecimal(const CString& str)
{
    ULONGLONG ullValue = 0;
    for (int i = 0; i < str.GetLength() && str[i] >= L'0' && str[i] <= L'9'; ++i)
        ullValue = ullValue * 10 + static_cast<ULONGLONG>(str[i] - L'0');
    return ullValue;
}

CString DriveSizeText(ULONGLONG ullBytes)
{
    bool bGigabytes = ullBytes >= 1073741824ull;
    ULONGLONG ullCount = ullBytes / (bGigabytes ? 1000000000ull : 1000000ull);
    if (ullCount & 1)
        ++ullCount;
    CString strText;
    strText.Format(bGigabytes ? L"%u GB" : L"%u MB", static_cast<unsigned>(ullCount));
    return strText;
}

const CString& CDriveLanguageTexts::Text(int nText)
{
    static const wchar_t* const kKeys[kTextCount] = {L"IDS_SMART_ENABLED", L"IDS_SMART_NOT_ENABLED",
                                                     L"IDS_STATUS_EXCELLENT", L"IDS_STATUS_BAD", L"IDS_STATUS_POOR"};
    if (!m_abRead[nText]) {
        m_astrText[nText] = LanguageText(L"Drive SMART", kKeys[nText]);
        m_abRead[nText] = true;
    }
    return m_astrText[nText];
}

CString CDriveLanguageTexts::StatusText(const CString& strStatus)
{
    if (ContainsText(strStatus, L"OK"))
        return Text(kStatusExcellent);
    if (ContainsText(strStatus, L"Error"))
        return Text(kStatusBad);
    if (ContainsText(strStatus, L"Pred Fail"))
        return Text(kStatusPoor);
    return strStatus;
}
