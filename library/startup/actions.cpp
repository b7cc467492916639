#include "startup/actions.h"

#include "frame/module_objects.h"
#include "startup/environment.h"

void PerformStartupAction(int enable)
{
    const bool bApproved = UsesApprovedStore();
    const int nSource = theApp.m_actionRecord.nSource;
    if (enable) {
        if (bApproved)
            EnableApproved(enable);
        else if (nSource == SI_MSCONFIG_RUN_HKCU || nSource == SI_MSCONFIG_RUN_HKLM || nSource == SI_MSCONFIG_RUN_HKLM32)
            EnableMsconfigRun(enable);
        else if (nSource == SI_MSCONFIG_FOLDER_USER || nSource == SI_MSCONFIG_FOLDER_COMMON)
            EnableMsconfigFolder(enable);
    } else {
        if (bApproved)
            DisableApproved();
        else if (nSource == SI_RUN_HKCU || nSource == SI_RUN_HKLM || nSource == SI_RUN_HKLM32)
            DisableMsconfigRun();
        else if (nSource == SI_FOLDER_USER || nSource == SI_FOLDER_COMMON)
            DisableMsconfigFolder();
    }
}
