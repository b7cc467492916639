// Shortcuts of one Startup folder.
#pragma once

// Appends an enabled item to g_startupItems for every ".lnk" file in the Startup folder
// of nSource (SI_FOLDER_USER or SI_FOLDER_COMMON); other codes do nothing.
void ReadStartupFolder(int nSource);
