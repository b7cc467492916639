// Run entries disabled into the MSConfig store.
#pragma once

// Appends a disabled item (SI_MSCONFIG_RUN_HKCU, SI_MSCONFIG_RUN_HKLM or
// SI_MSCONFIG_RUN_HKLM32) to g_startupItems for every readable subkey of the
// "startupreg" store, which is created when missing.
void ReadMsconfigRegistryStore();
