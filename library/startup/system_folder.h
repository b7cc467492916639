// The native system folder of 64-bit Windows, as a 32-bit module reaches it.
#pragma once
#include "framework/cstring.h"

// On 64-bit Windows the file system shows this 32-bit module SysWOW64 where it names the
// system folder, so programs that exist only as 64-bit ones there (the security centre's
// tray program, driver utilities, System32\DriverStore) cannot be read under the name the
// user knows. "Sysnative" names the real folder (Vista and later; XP x64 with KB942589).
// Nothing is switched off for it: turning redirection off would also change what
// LoadLibrary finds on this thread, for the shell and everything it loads.
class CNativeSystemFolder {
public:
    CNativeSystemFolder();  // knows no folder on 32-bit Windows

    // The path to read strPath's file through: in the native folder when strPath lies in
    // the system folder and the file is there, else strPath itself (a 32-bit program that
    // lies only in SysWOW64 is still found as written).
    CString ReadablePath(const CString& strPath) const;

private:
    CString m_strSystem;  // "C:\Windows\system32\"
    CString m_strNative;  // "C:\Windows\Sysnative\"
};
