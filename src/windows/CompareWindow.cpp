#include "windows/CompareWindow.h"

#include "base/UserDialogs.h"
#include "files/CardImageFile.h"
#include "files/DumpFormat.h"
#include "files/GridImage.h"
#include "windows/CardEdits.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CompareWindow::CompareWindow(CardGrids &grids, CardEdits &edits, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_grids(grids)
    , m_edits(edits)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(QStringLiteral("Compare card images"));
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel;
    m_title->setWordWrap(true);
    layout->addWidget(m_title);
    m_summary = new QPlainTextEdit;
    m_summary->setObjectName(QStringLiteral("compareSummary"));
    m_summary->setReadOnly(true);
    m_summary->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_summary->setFont(QFont(QStringLiteral("Monospace"), 9));
    m_summary->setMinimumSize(560, 300);
    layout->addWidget(m_summary, 1);
    auto *buttons = new QHBoxLayout;
    m_previous = new QPushButton(QStringLiteral("Previous difference"));
    m_previous->setObjectName(QStringLiteral("btn_previousDifference"));
    m_next = new QPushButton(QStringLiteral("Next difference"));
    m_next->setObjectName(QStringLiteral("btn_nextDifference"));
    auto *close = new QPushButton(QStringLiteral("Close"));
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_previous, &QPushButton::clicked, this, &CompareWindow::previousDifference);
    connect(m_next, &QPushButton::clicked, this, &CompareWindow::nextDifference);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
}

std::optional<CardImage> CompareWindow::askForImage(CardType preferred)
{
    QString filter;
    const QString name = m_dialogs.openFileName(DumpFormats::openFilters(), &filter);
    if (name.isEmpty())
        return std::nullopt;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        m_dialogs.showMessage(QStringLiteral("Cannot open %1: %2.").arg(name, file.errorString()));
        return std::nullopt;
    }
    QString problem;
    std::optional<CardImage> image = CardImageFile::read(name, file.readAll(), filter, preferred, &problem);
    if (!image)
        m_dialogs.showMessage(QStringLiteral("Cannot compare with %1: %2.").arg(name, problem));
    else
        m_lastName = QFileInfo(name).fileName();
    return image;
}

void CompareWindow::compareGridWithFile()
{
    const CardType type = m_grids.shownType();
    const std::optional<CardImage> other = askForImage(type);
    if (!other)
        return;
    m_edits.settle(QStringLiteral("Edit"));
    showResult(CardImageDiff::compare(m_edits.image(type), *other),
         QStringLiteral("The grid compared with %1").arg(m_lastName), true);
}

void CompareWindow::compareTwoFiles()
{
    const std::optional<CardImage> first = askForImage(m_grids.shownType());
    if (!first)
        return;
    const QString firstName = m_lastName;
    const std::optional<CardImage> second = askForImage(first->type());
    if (!second)
        return;
    showResult(CardImageDiff::compare(*first, *second),
         QStringLiteral("%1 compared with %2").arg(firstName, m_lastName), false);
}

void CompareWindow::showResult(const CardImageDiff &diff, const QString &title, bool gridIsFirst)
{
    clearMarks();
    m_diff = diff;
    m_gridIsFirst = gridIsFirst;
    m_offset = -1;
    m_title->setText(title);
    m_summary->setPlainText(diff.summaryText());
    const bool walk = gridIsFirst && !diff.identical() && !diff.typesDiffer();
    m_previous->setEnabled(walk);
    m_next->setEnabled(walk);
    if (walk) {
        QByteArray differs(m_edits.image(m_grids.shownType()).size(), '\0');
        for (int offset : diff.bytes())
            differs[offset] = 1;
        m_edits.setDifferences(m_grids.shownType(), differs);
    }
    QWidget::show();
    raise();
    activateWindow();
}

void CompareWindow::nextDifference()
{
    if (m_diff && m_gridIsFirst)
        select(m_diff->next(m_offset));
}

void CompareWindow::previousDifference()
{
    if (m_diff && m_gridIsFirst)
        select(m_diff->previous(m_offset < 0 ? m_edits.image(m_grids.shownType()).size() : m_offset));
}

void CompareWindow::select(int offset)
{
    if (offset < 0)
        return;
    m_offset = offset;
    const CardType type = m_grids.shownType();
    m_grids.view(type).selectCell({GridImage::columnOf(type, offset), GridImage::rowOf(type, offset)});
}

void CompareWindow::clearMarks()
{
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL})
        m_edits.setDifferences(type, {});
}

void CompareWindow::hideEvent(QHideEvent *event)
{
    clearMarks();
    QWidget::hideEvent(event);
}
