#include "frame/module_objects.h"

// Construction order matters (see the header); the framework's module state is
// constant-initialised and so exists before all of these.
CString g_strWifiSpeed;
CString g_strSettingsFile;
CString g_strAppFolder;
CString g_strLanguageFile;
CString g_astrLanguageName[kLanguageCount];
CString g_astrLanguageAbbr[kLanguageCount];
CStartupItemArray g_startupItems;
CWendleApp theApp;
