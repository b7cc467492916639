// Ends the running processes whose executable names stand on the kill list.
#pragma once
#include <windows.h>

// Culvane's variant: when "IDS_DONT_KILL" of "xmlka.dat" is "1" the whole program ends
// here with status 0; otherwise one walk with two opens and two terminations a process.
void TerminateProductProcessesCulvane();
// Brenholt's variant: one walk with three opens and a five-step termination ladder.
void TerminateProductProcessesBrenholt();
// Ends every process named pszExeName (A-Z case ignored) with exit code 9.
void TerminateProcessesByName(const wchar_t* pszExeName);
