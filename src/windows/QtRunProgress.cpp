#include "windows/QtRunProgress.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

QtRunProgress::QtRunProgress(QWidget *parent)
    : m_dialog(new QDialog(parent))
    , m_label(new QLabel(m_dialog))
    , m_bar(new QProgressBar(m_dialog))
{
    m_dialog->setObjectName(QStringLiteral("runProgress"));
    m_dialog->setModal(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), m_dialog);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *layout = new QVBoxLayout(m_dialog);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    QObject::connect(cancel, &QPushButton::clicked, m_dialog, [this] { m_cancelled = true; });
    // Closing the window (Escape, the close box) cancels as well.
    QObject::connect(m_dialog, &QDialog::rejected, m_dialog, [this] { m_cancelled = true; });
}

QtRunProgress::~QtRunProgress() = default; // the dialog belongs to its parent

void QtRunProgress::begin(const QString &title, int total)
{
    m_cancelled = false;
    m_dialog->setWindowTitle(title);
    m_bar->setRange(0, total);
    m_bar->setValue(0);
    m_clock.start();
    m_sinceUpdate.invalidate();
}

bool QtRunProgress::advance(int done, const QString &next)
{
    const bool visible = m_dialog->isVisible();
    if (!visible && m_clock.elapsed() < ShowAfterMs)
        return !m_cancelled;
    if (visible && m_sinceUpdate.isValid() && m_sinceUpdate.elapsed() < UpdateEveryMs)
        return !m_cancelled;
    m_bar->setValue(done);
    m_label->setText(next);
    if (!visible)
        m_dialog->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    m_sinceUpdate.start();
    return !m_cancelled;
}

void QtRunProgress::end()
{
    m_dialog->hide();
}
