// The two environment tests of the startup manager.
#pragma once

// True where disabled items are marked in the StartupApproved keys (the reported version
// is 6.2 or 6.3: Windows 8 and 8.1, and later Windows that report 6.2); false where they
// are parked in the MSConfig store (XP, XP x64 and Server 2003, Vista, 7, and a Windows
// reporting 10.0).
bool UsesApprovedStore();

// True on 64-bit Windows (this library is always a 32-bit module there).
bool IsWow64();
