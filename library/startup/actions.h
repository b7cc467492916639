// Enabling and disabling one startup entry, described by the record passed in.
//
// Each operation returns true, with nSource and nEnabled of the record naming the entry's
// new place and state, once the entry has really changed place or state (an approval
// value written, a Run value or shortcut moved). When the registry or file work fails
// first, or the entry is not where the record says, it returns false and the record keeps
// what it had.
#pragma once

struct STARTUPACTIONRECORD;
struct StartupSource;

// Chooses and runs the operation for the record's nSource; enable != 0 enables. An item
// that is not marked disabled where the StartupApproved keys are used only takes the flag
// in nEnabled (nothing moves: false).
bool PerformStartupAction(STARTUPACTIONRECORD& record, int enable);

// The StartupApproved keys: the entry stays and its value there says enabled or disabled.
bool EnableApproved(STARTUPACTIONRECORD& record, const StartupSource& source, int flag);
bool DisableApproved(STARTUPACTIONRECORD& record, const StartupSource& source);
// The MSConfig "startupreg" store, where disabled Run values are parked.
bool EnableMsconfigRun(STARTUPACTIONRECORD& record, const StartupSource& source, int flag);
bool DisableMsconfigRun(STARTUPACTIONRECORD& record, const StartupSource& source);
// The backup folder, where disabled shortcuts are moved, recorded in "startupfolder".
bool EnableMsconfigFolder(STARTUPACTIONRECORD& record, const StartupSource& source, int flag);
bool DisableMsconfigFolder(STARTUPACTIONRECORD& record, const StartupSource& source);
