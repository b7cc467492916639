// StartupAction: enables or disables the item of one host record, in place.
#include "frame/export.h"

#include "frame/module_objects.h"
#include "startup/actions.h"

namespace {
// Fields 1 to 7, in either direction; the icon index belongs to the host's list view and
// is never touched.
template <class To, class From>
void CopyActionFields(To& to, const From& from)
{
    to.strName = from.strName;
    to.strCommand = from.strCommand;
    to.strDisplayName = from.strDisplayName;
    to.strPath = from.strPath;
    to.strCompany = from.strCompany;
    to.nEnabled = from.nEnabled;
    to.nSource = from.nSource;
}
}  // namespace

WENDLE_API void __cdecl StartupAction(STARTUPITEMS* item, int enable)
{
    if (!item)
        return;
    RunExport([&] {
        CopyActionFields(theApp.m_actionRecord, *item);
        PerformStartupAction(enable);
        CopyActionFields(*item, theApp.m_actionRecord);
    });
}
