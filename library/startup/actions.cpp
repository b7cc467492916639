#include "startup/actions.h"

#include "frame/app.h"
#include "startup/environment.h"
#include "startup/startup_sources.h"

namespace {
bool PerformApprovedAction(STARTUPACTIONRECORD& record, int enable)
{
    if (!enable) {
        const StartupSource* pSource = FindSourceByCode(record.nSource);
        return pSource && DisableApproved(record, *pSource);
    }
    const StartupSource* pSource = FindSourceByApprovedCode(record.nSource);
    if (!pSource) {
        record.nEnabled = enable;  // not marked disabled: the item only takes the flag
        return false;
    }
    return EnableApproved(record, *pSource, enable);
}

bool PerformMsconfigAction(STARTUPACTIONRECORD& record, int enable)
{
    if (!enable) {
        const StartupSource* pSource = FindSourceByCode(record.nSource);
        if (!pSource)
            return false;
        return IsShortcutSource(*pSource) ? DisableMsconfigFolder(record, *pSource) : DisableMsconfigRun(record, *pSource);
    }
    const StartupSource* pSource = FindSourceByMsconfigCode(record.nSource);
    if (!pSource)
        return false;
    return IsShortcutSource(*pSource) ? EnableMsconfigFolder(record, *pSource, enable)
                                      : EnableMsconfigRun(record, *pSource, enable);
}
}  // namespace

bool PerformStartupAction(STARTUPACTIONRECORD& record, int enable)
{
    return UsesApprovedStore() ? PerformApprovedAction(record, enable) : PerformMsconfigAction(record, enable);
}
