#pragma once

#include "base/UserDialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

// Answers the program's dialogs from a script and records what was shown.
// An unscripted question is answered Yes; an unscripted file dialog is cancelled.
class ScriptedDialogs : public UserDialogs
{
public:
    struct Shown {
        QString kind;    // "message", "error", "warning", "question", "open", "save"
        QString caption; // for questions
        QString text;    // message text, or the filters joined by ";;"
        QString folder = {}; // where a file dialog started
        bool defaultNo = false; // a question whose default button is No
    };

    QList<Shown> shown;
    QQueue<bool> answers;     // next askYesNo answers
    QQueue<QString> fileNames; // next file dialog results
    QQueue<QString> filters;   // next selected filters (optional)

    void showMessage(const QString &text) override { shown.append({QStringLiteral("message"), {}, text}); }
    void showError(const QString &text) override { shown.append({QStringLiteral("error"), {}, text}); }
    void showWarning(const QString &text) override { shown.append({QStringLiteral("warning"), {}, text}); }
    bool askYesNo(const QString &caption, const QString &text) override { return question(caption, text, false); }
    bool askBeforeIrreversible(const QString &caption, const QString &text) override
    {
        return question(caption, text, true);
    }
    QString openFileName(const QStringList &f, QString *selectedFilter = nullptr, const QString &folder = {}) override
    {
        return nextFile(QStringLiteral("open"), f, selectedFilter, folder);
    }
    QString saveFileName(const QStringList &f, QString *selectedFilter = nullptr, const QString &folder = {}) override
    {
        return nextFile(QStringLiteral("save"), f, selectedFilter, folder);
    }

    // Texts of everything shown, in order.
    QStringList texts() const
    {
        QStringList out;
        for (const Shown &s : shown)
            out << s.text;
        return out;
    }

private:
    bool question(const QString &caption, const QString &text, bool defaultNo)
    {
        shown.append({QStringLiteral("question"), caption, text, {}, defaultNo});
        return answers.isEmpty() ? true : answers.dequeue();
    }
    QString nextFile(const QString &kind, const QStringList &f, QString *selectedFilter, const QString &folder)
    {
        shown.append({kind, {}, f.join(QStringLiteral(";;")), folder});
        if (selectedFilter)
            *selectedFilter = filters.isEmpty() ? (f.isEmpty() ? QString() : f.first()) : filters.dequeue();
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
};
