#include "cli/WritePreflight.h"

#include "view/CardGridModel.h"

WritePreflight WritePreflight::writeAll(const CardGridModel &grid, bool force)
{
    WritePreflight preflight;
    preflight.plan = planWriteAll(grid);
    preflight.decide(force);
    return preflight;
}

WritePreflight WritePreflight::writeOne(const CardGridModel &grid, int number, bool force)
{
    WritePreflight preflight;
    if (grid.cardType() != CardType::MifareUL) {
        preflight.plan = planClassicBlock(grid, number);
    } else if (number < 2) {
        // Pages 0 and 1 and the first half of page 2 hold the serial number.
        preflight.refusal = QStringLiteral("pages 0 and 1 hold the serial number and are not written");
        return preflight;
    } else {
        preflight.plan = planUltralightPage(grid, number);
    }
    preflight.decide(force);
    return preflight;
}

void WritePreflight::decide(bool force)
{
    for (QString question : plan.questions) {
        if (question.endsWith(WriteMessages::Continue))
            question.chop(WriteMessages::Continue.size());
        warnings << question.trimmed();
    }
    if (plan.refused())
        refusal = plan.refusal;
    else if (!warnings.isEmpty() && !force)
        refusal = QStringLiteral("the write cannot be undone; nothing was written (use --force to write it anyway)");
}
