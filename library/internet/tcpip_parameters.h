// The TCP/IP registry values that the internet optimisation tunes.
#pragma once
#include "framework/cstring.h"

// Sets "MTU" on every interface subkey, then "DefaultRcvWindow" and "DefaultTTL" on the
// MSTCP key (created when missing). Stops quietly at the first failing registry call,
// leaving what was written so far; nothing is written when the interface list cannot be
// read completely. Returns how many values it wrote: none where the host may not write
// the machine's keys (a standard user, or an administrator without elevation).
int SetTcpIpParameters(DWORD dwMtu, CString strTtl, CString strRcvWindow);
