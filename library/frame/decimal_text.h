// Amounts with two decimals, as the product's texts spell them whatever C locale the host
// has set ("%.2f" of a German locale would give "1,50"): digits, a point, two decimals.
#pragma once
#include "framework/cstring.h"

// ullNumerator / ullDenominator (not 0, below 2^57) rounded half up to hundredths, right-
// aligned with blanks in nWidth characters: (3, 2, 7) gives "   1.50".
CString HundredthsText(ULONGLONG ullNumerator, ULONGLONG ullDenominator, int nWidth = 0);
