#include "frame/decimal_text.h"

CString HundredthsText(ULONGLONG ullNumerator, ULONGLONG ullDenominator, int nWidth)
{
    // Exact integer arithmetic: the remainder is below the denominator, so the scaled
    // remainder cannot overflow.
    ULONGLONG ullWhole = ullNumerator / ullDenominator;
    ULONGLONG ullHundredths = ((ullNumerator % ullDenominator) * 100 + ullDenominator / 2) / ullDenominator;
    if (ullHundredths == 100) {
        ++ullWhole;
        ullHundredths = 0;
    }
    wchar_t szText[32];  // 20 digits, the point and two decimals, built from the end
    int nStart = 31;
    szText[nStart] = L'\0';
    szText[--nStart] = static_cast<wchar_t>(L'0' + ullHundredths % 10);
    szText[--nStart] = static_cast<wchar_t>(L'0' + ullHundredths / 10);
    szText[--nStart] = L'.';
    do
        szText[--nStart] = static_cast<wchar_t>(L'0' + ullWhole % 10);
    while (ullWhole /= 10);
    CString strText;
    for (int nLength = 31 - nStart; nLength < nWidth; ++nLength)
        strText += L' ';
    strText += szText + nStart;
    return strText;
}
