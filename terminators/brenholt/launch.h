// Starting the product's programs again after an update.
#pragma once
#include "framework/cstring.h"

// Starts strPath (with the argument "UDS" when bUpdateArgument) below normal priority
// and waits for it to end; when it cannot be started directly the shell tries, with
// SW_SHOW, and its process is waited for.
void LaunchAndWait(const CString& strPath, bool bUpdateArgument);

// The command line for LaunchAndWait: the path, quoted when it holds a blank so the
// program reads its own name whole, then " UDS" when asked.
CString LaunchCommandLine(const CString& strPath, bool bUpdateArgument);

// Folder of the running program, without trailing backslash.
CString ProgramDirectory();
