// Enabled entries of one Run key.
#pragma once

// Appends an enabled item to g_startupItems for every string value of the Run key of
// nSource (SI_RUN_HKCU, SI_RUN_HKLM or SI_RUN_HKLM32); other codes do nothing. The key
// is created when it is missing.
void ReadRunEntries(int nSource);
