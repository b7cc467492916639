// Enabling and disabling the startup entry described by theApp.m_actionRecord.
//
// Each operation updates nSource and nEnabled of the record only once the entry has
// really changed place or state (an approval value written, a Run value or shortcut
// moved); when the registry or file work fails first, the record keeps what it had.
#pragma once

// Chooses and runs the operation for the record's nSource; enable != 0 enables.
void PerformStartupAction(int enable);

// Where disabled items are marked in the StartupApproved keys.
void EnableApproved(int flag);
void DisableApproved();
// Where disabled Run values are parked in the MSConfig "startupreg" store.
void EnableMsconfigRun(int flag);
void DisableMsconfigRun();
// Where disabled shortcuts are moved to the backup folder and recorded in "startupfolder".
void EnableMsconfigFolder(int flag);
void DisableMsconfigFolder();
