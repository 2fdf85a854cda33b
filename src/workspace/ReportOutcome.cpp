#include "ReportOutcome.h"

#include "platform/Messages.h"

bool reportOutcome(const ClientWorkspace::Outcome &outcome)
{
    if (!outcome && !outcome.message.isEmpty())
        ShowMess(outcome.message, MessError);
    return bool(outcome);
}
