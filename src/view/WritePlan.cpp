#include "view/WritePlan.h"

#include "access/ClassicTrailerWarnings.h"
#include "card/Hex.h"
#include "ultralight/UltralightLockWarnings.h"
#include "view/CardGridModel.h"
#include "view/CardLayout.h"
#include "view/CellChecks.h"

namespace {

constexpr int LockPage = 2;
constexpr int OtpPage = 3;
constexpr int LastPage = CardGeometry(CardType::MifareUL).blockCount() - 1;

int rowOf(int number)
{
    return CardGeometry::rowOfBlock(number);
}

QByteArray cellBytes(const CardGridModel &grid, int row, int firstColumn, int lastColumn)
{
    QByteArray bytes;
    for (int column = firstColumn; column <= lastColumn; ++column)
        bytes.append(char(Hex::pairValue(grid.cell(column, row))));
    return bytes;
}

WritePlan refusedWith(const QString &message)
{
    WritePlan plan;
    plan.refusal = message;
    return plan;
}

} // namespace

WritePlan planClassicBlock(const CardGridModel &grid, int block)
{
    if (CheckBlockHex(grid, block) == "error")
        return refusedWith(WriteMessages::BadBlockHex);
    const int row = rowOf(block);
    WritePlan plan;
    const QByteArray bytes =
        cellBytes(grid, row, CardLayout::kFirstByteColumnClassic, CardLayout::kLastByteColumnClassic);
    if (IsTrailerRow(row)) {
        const WarningCheck check = ClassicTrailerWarnings(bytes, block);
        if (check.status == QLatin1String("error"))
            return refusedWith(WriteMessages::InvalidTrailer);
        if (check.status == QLatin1String("warn"))
            plan.questions << check.warnings + WriteMessages::Continue;
    }
    plan.writes.append({block, bytes});
    return plan;
}

WritePlan planUltralightPage(const CardGridModel &gridUL, int page)
{
    const int row = rowOf(page);
    WritePlan plan;
    if (page == OtpPage) {
        for (int column = CardLayout::kFirstByteColumnUL; column <= CardLayout::kLastByteColumnUL; ++column) {
            if (gridUL.cell(column, row) != "00") {
                plan.questions << WriteMessages::OtpWarning + WriteMessages::Continue;
                break;
            }
        }
    }
    // The lock bytes are tested before they are warned about: lock bits read from
    // cells that are not hexadecimal would list locks nobody asked for.
    if (CheckPageHex(gridUL, page) == "error") {
        plan.refusal = WriteMessages::BadBlockHex;
        return plan;
    }
    QByteArray data = cellBytes(gridUL, row, CardLayout::kFirstByteColumnUL, CardLayout::kLastByteColumnUL);
    if (page == LockPage) {
        // Bytes 0 and 1 of page 2 are serial-number check bytes: always sent as zero.
        data[0] = 0;
        data[1] = 0;
        const WarningCheck check = UltralightLockWarnings(quint8(data[2]), quint8(data[3]));
        if (check.status == QLatin1String("warn"))
            plan.questions << check.warnings + WriteMessages::Continue;
    }
    plan.writes.append({page, data});
    return plan;
}

WritePlan planClassicWriteAll(const CardGridModel &grid)
{
    const int blocks = CardGeometry(grid.cardType()).blockCount();
    WritePlan plan;
    for (int block = 1; block < blocks && !plan.refused(); ++block)
        plan.append(planClassicBlock(grid, block));
    if (plan.refused())
        plan.writes.clear();
    return plan;
}

WritePlan planUltralightWriteAll(const CardGridModel &gridUL)
{
    WritePlan plan;
    for (int page = LockPage; page <= LastPage && !plan.refused(); ++page)
        plan.append(planUltralightPage(gridUL, page));
    if (plan.refused()) {
        plan.writes.clear();
        return plan;
    }
    plan.writes.append(plan.writes.takeFirst()); // page 2, the lock bytes, goes last
    return plan;
}

WritePlan planWriteAll(const CardGridModel &grid)
{
    return grid.cardType() == CardType::MifareUL ? planUltralightWriteAll(grid) : planClassicWriteAll(grid);
}
