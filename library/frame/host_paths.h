#pragma once
#include "framework/cstring.h"

// Folder of the process's main executable (not of this library), without a trailing
// backslash. Read through a buffer of nBufferLength characters.
CString HostProgramFolder(DWORD nBufferLength = MAX_PATH);
