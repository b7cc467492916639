// StartupAction: enables or disables the item of one host record, in place.
#include "frame/export.h"

#include <tuple>

#include "frame/module_objects.h"
#include "startup/actions.h"

namespace {
// Fields 1 to 7 of a record, as references; the icon index belongs to the host's list
// view and is never touched.
template <class Record>
auto ActionFields(Record& record)
{
    return std::tie(record.strName, record.strCommand, record.strDisplayName, record.strPath, record.strCompany,
                    record.nEnabled, record.nSource);
}
}  // namespace

WENDLE_API void __cdecl StartupAction(STARTUPITEMS* item, int enable)
{
    if (!item)
        return;
    RunExport([&] {
        // The module's action record holds the item for the length of the call.
        ActionFields(theApp.m_actionRecord) = ActionFields(*item);
        PerformStartupAction(theApp.m_actionRecord, enable);
        ActionFields(*item) = ActionFields(theApp.m_actionRecord);
    });
}
