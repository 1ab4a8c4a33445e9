#pragma once

#include <QString>
#include <QStringList>

// Every message box and file dialog of the program goes through this interface, so
// tests can answer them without blocking. QtUserDialogs shows the real ones.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // Information box with an OK button, captioned with the program's title.
    virtual void showMessage(const QString &text) = 0;
    // Error box (stop icon, OK button, the program's title).
    virtual void showError(const QString &text) = 0;
    // Warning box (warning icon, OK button, the program's title): an entry to correct.
    virtual void showWarning(const QString &text) = 0;
    // Yes/No box with a caption; Yes is the default button. True means Yes.
    [[nodiscard]] virtual bool askYesNo(const QString &caption, const QString &text) = 0;
    // Yes/No box for a question whose Yes sends something that cannot be undone (a
    // trailer, lock bytes, OTP bits, a whole card, the module's speed): No is the
    // default button and Escape's answer, so a habitual Enter never confirms it.
    [[nodiscard]] virtual bool askBeforeIrreversible(const QString &caption, const QString &text) = 0;
    // File dialogs; filters such as "*.mtp". An empty result means cancelled.
    // selectedFilter, when given, receives the filter the user chose; folder, when not
    // empty, is where the dialog starts.
    [[nodiscard]] virtual QString openFileName(const QStringList &filters, QString *selectedFilter = nullptr,
                                               const QString &folder = {}) = 0;
    [[nodiscard]] virtual QString saveFileName(const QStringList &filters, QString *selectedFilter = nullptr,
                                               const QString &folder = {}) = 0;
};
