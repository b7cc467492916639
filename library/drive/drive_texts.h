// Texts of the drive report that come from WMI values: slot numbers, sizes and states.
#pragma once
#include "framework/cstring.h"

// Section of the language file that holds the report's texts.
constexpr wchar_t kDriveSmartSection[] = L"Drive SMART";

// Case-sensitive containment; the empty text is in every text (which some C runtimes
// wcsstr does not give for an empty haystack).
bool ContainsText(const CString& str, const CString& strPart);
// The slot of a WMI Name or Tag: its last character when that is a digit, else 0.
int DriveSlotNumber(const CString& strName);
// A decimal text as WMI gives 64-bit numbers; 0 when it does not start with a digit.
ULONGLONG ParseDecimal(const CString& str);
// "%u GB" from 2^30 bytes on, else "%u MB"; the count of 10^9 or 10^6 bytes is rounded up
// to an even number.
CString DriveSizeText(ULONGLONG ullBytes);
// The report's status text for a WMI Status: the language's texts for "OK", "Error" and
// "Pred Fail", any other status unchanged.
CString DriveStatusText(const CString& strStatus);
