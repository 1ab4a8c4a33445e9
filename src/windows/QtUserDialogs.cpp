#include "windows/QtUserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

QString QtUserDialogs::programTitle()
{
    return QStringLiteral("MERLOX MIFARE");
}

void QtUserDialogs::showMessage(const QString &text)
{
    QMessageBox::information(m_parent, programTitle(), text, QMessageBox::Ok);
}

void QtUserDialogs::showError(const QString &text)
{
    QMessageBox::critical(m_parent, programTitle(), text, QMessageBox::Ok);
}

void QtUserDialogs::showWarning(const QString &text)
{
    QMessageBox::warning(m_parent, programTitle(), text, QMessageBox::Ok);
}

bool QtUserDialogs::askYesNo(const QString &caption, const QString &text)
{
    return QMessageBox::question(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

bool QtUserDialogs::askBeforeIrreversible(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::openFileName(const QStringList &filters, QString *selectedFilter, const QString &folder)
{
    return QFileDialog::getOpenFileName(m_parent, QString(), folder, filters.join(QStringLiteral(";;")),
                                        selectedFilter);
}

QString QtUserDialogs::saveFileName(const QStringList &filters, QString *selectedFilter, const QString &folder)
{
    // The program adds the extension and asks about overwriting itself.
    return QFileDialog::getSaveFileName(m_parent, QString(), folder, filters.join(QStringLiteral(";;")),
                                        selectedFilter, QFileDialog::DontConfirmOverwrite);
}
