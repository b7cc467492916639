// Shortcuts of one Startup folder.
#pragma once
#include "framework/cstring.h"

struct StartupSource;

// Appends an enabled item to g_startupItems for every ".lnk" file in the Startup folder
// of nSource (SI_FOLDER_USER or SI_FOLDER_COMMON); other codes do nothing.
void ReadStartupFolder(int nSource);

// The path of the source's Startup folder; false when the shell cannot say.
bool GetStartupFolderPath(const StartupSource& source, CString& strFolder);

// The title of a shortcut file: "Tool Agent.lnk" gives "Tool Agent"; only the last
// extension goes.
CString ShortcutTitle(const CString& strFileName);
