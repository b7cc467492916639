// Texts of the drive report: slot numbers, sizes and states from WMI values, and the
// language file's texts of the section "Drive SMART".
#pragma once
#include "framework/cstring.h"

// Case-sensitive containment; the empty text is in every text (which some C runtimes'
// wcsstr does not give for an empty haystack).
bool ContainsText(const CString& str, const CString& strPart);
// The slot of a WMI Name or Tag: its last character when that is a digit, else 0.
int DriveSlotNumber(const CString& strName);
// A decimal text as WMI gives 64-bit numbers; 0 when it does not start with a digit.
ULONGLONG ParseDecimal(const CString& str);
// "%u GB" from 2^30 bytes on, else "%u MB"; the count of 10^9 or 10^6 bytes is rounded up
// to an even number.
CString DriveSizeText(ULONGLONG ullBytes);

// The language texts of one report. Each is read from the current language file at its
// first use in the call, since a lookup reads the file and the texts do not change
// within a call.
class CDriveLanguageTexts {
public:
    const CString& SmartEnabled() { return Text(kSmartEnabled); }
    const CString& SmartNotEnabled() { return Text(kSmartNotEnabled); }
    // The language's texts for a WMI Status containing "OK", "Error" or "Pred Fail"
    // (looked for in this order), any other status unchanged.
    CString StatusText(const CString& strStatus);

private:
    enum { kSmartEnabled, kSmartNotEnabled, kStatusExcellent, kStatusBad, kStatusPoor, kTextCount };
    const CString& Text(int nText);

    CString m_astrText[kTextCount];
    bool m_abRead[kTextCount] = {};
};
