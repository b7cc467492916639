// The executable named by a startup command.
#pragma once
#include "framework/cstring.h"

// Takes the executable path out of a command line: drops surrounding quotes and the
// arguments after a ".exe", and expands a command that starts with an environment
// reference (folding "Program Files (x86)" back on 64-bit Windows, where this 32-bit
// library sees %ProgramFiles% as the 32-bit folder).
CString NormalizeCommandPath(const CString& strCommand);

// The program a shortcut's target names, as the 64-bit shell that starts it finds it. A
// shortcut stored with %ProgramFiles% or the Program Files known folder resolves, in this
// 32-bit library on 64-bit Windows, into "Program Files (x86)"; where the program is not
// there but in "Program Files", that is where it is. Any other path is returned as given.
CString ShortcutProgramPath(const CString& strTarget);
