// Module-level objects of the library. They are defined together, in one translation
// unit, so that they are constructed in this order and destroyed in the reverse order.
#pragma once
#include "frame/app.h"

// Wi-Fi report: the speed text between writes.
extern CString g_strWifiSpeed;
// Host program's settings file, its folder and the current language file.
extern CString g_strSettingsFile;
extern CString g_strAppFolder;
extern CString g_strLanguageFile;
// Languages listed in the current language file.
constexpr int kLanguageCount = 5;
extern CString g_astrLanguageName[kLanguageCount];
extern CString g_astrLanguageAbbr[kLanguageCount];
// Startup manager: the list that an enumeration fills.
extern CStartupItemArray g_startupItems;
// The application object.
extern CWendleApp theApp;
