// What the test process holds, for leak checks that must work under Wine too, where
// GetProcessHandleCount answers 0 and PrivateUsage stays 0.
#pragma once
#include <windows.h>

namespace testing_support {

// Open handles, counted by probing the handle values one by one.
DWORD OpenHandleCount();
// Committed private memory, summed over the address space.
SIZE_T CommittedPrivateBytes();

}  // namespace testing_support
