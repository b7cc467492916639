// The executable named by a startup command.
#pragma once
#include "framework/cstring.h"

// Takes the executable path out of a command line: drops surrounding quotes and the
// arguments after a ".exe", and expands a command that starts with an environment
// reference (folding "Program Files (x86)" back on 64-bit Windows, where this 32-bit
// library sees %ProgramFiles% as the 32-bit folder).
CString NormalizeCommandPath(const CString& strCommand);
