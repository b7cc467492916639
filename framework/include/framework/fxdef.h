// Basic definitions shared by every part of the framework.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#ifdef FRAMEWORK_BUILD
#define FX_API __declspec(dllexport)
#else
#define FX_API __declspec(dllimport)
#endif

// Opaque iterator of the framework's lists.
struct __POSITION {};
typedef __POSITION* POSITION;

// Allocations that cross the library boundary: a block taken on one side of a DLL
// boundary is released on the other, so every container of the framework takes its
// storage here and never from a module's own runtime.
extern "C" FX_API void* FxAllocate(size_t nLength);
extern "C" FX_API void FxRelease(void* pBlock);
// Number of blocks taken and not yet released, for leak checks.
extern "C" FX_API LONG FxLiveBlockCount();
