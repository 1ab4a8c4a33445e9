#include "commands/WritePlan.h"

#include "base/UserDialogs.h"

void WritePlan::append(const WritePlan &next)
{
    questions += next.questions;
    writes += next.writes;
    if (next.refused())
        refusal = next.refusal;
}

bool confirmWritePlan(UserDialogs &dialogs, const WritePlan &plan)
{
    for (const QString &question : plan.questions) {
        dialogs.showMessage(WriteMessages::SeeNextWarning);
        if (!dialogs.askBeforeIrreversible(WriteMessages::WarningCaption, question))
            return false;
    }
    if (plan.refused()) {
        dialogs.showMessage(plan.refusal);
        return false;
    }
    return true;
}
