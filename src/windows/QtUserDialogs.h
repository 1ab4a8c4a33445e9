#pragma once

#include "base/UserDialogs.h"

class QWidget;

// The real message boxes and file dialogs, parented to a window.
class QtUserDialogs : public UserDialogs
{
public:
    explicit QtUserDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    void showWarning(const QString &text) override;
    [[nodiscard]] bool askYesNo(const QString &caption, const QString &text) override;
    [[nodiscard]] bool askBeforeIrreversible(const QString &caption, const QString &text) override;
    [[nodiscard]] QString openFileName(const QStringList &filters, QString *selectedFilter = nullptr,
                                       const QString &folder = {}) override;
    [[nodiscard]] QString saveFileName(const QStringList &filters, QString *selectedFilter = nullptr,
                                       const QString &folder = {}) override;

    // Title of the program's own message boxes.
    static QString programTitle();

private:
    QWidget *m_parent = nullptr;
};
