// Definition side of the library's exports, and the one way into the library: every
// export hands its work to RunExport.
#pragma once
#ifndef WENDLE_BUILD
#define WENDLE_BUILD
#endif
#include "framework/cwinapp.h"
#include "wendle.h"

// Runs one export's work. Nothing the work raises (the C++ runtime's out-of-memory, for
// one) may unwind into the host through a C interface: it ends the call quietly, as a
// failing system call does, and the host's records keep what was already written back.
template <class Work>
void RunExport(Work&& work) noexcept
{
    try {
        work();
    } catch (...) {
    }
}

// The same, with the framework's module state switched to the library's own for the call
// and back on every way out (Brimwell, the one export that asks for it).
template <class Work>
void RunExportInLibraryState(Work&& work) noexcept
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    RunExport(work);
}
