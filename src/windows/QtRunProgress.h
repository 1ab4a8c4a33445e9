#pragma once

#include "commands/RunProgress.h"

#include <QElapsedTimer>

class QDialog;
class QLabel;
class QProgressBar;
class QWidget;

// A modal dialog with a progress bar and a Cancel button. It appears only when a run
// lasts longer than a moment. While it is up the main window takes no input; events
// are handled between two steps of the run, except the serial port's, so the receive
// handler never runs inside a run. The dialog is brought up to date, and events are
// handled, at most every UpdateEveryMs: a step can take less than a millisecond, and
// drawing the dialog and the window behind it at each one would cost more than the
// step.
class QtRunProgress : public RunProgress
{
public:
    explicit QtRunProgress(QWidget *parent);
    ~QtRunProgress() override;

    void begin(const QString &title, int total) override;
    [[nodiscard]] bool advance(int done, const QString &next) override;
    void end() override;

    // The dialog, for tests (its Cancel button is "cancelButton").
    [[nodiscard]] QDialog *dialog() const { return m_dialog; }

private:
    static constexpr int ShowAfterMs = 300;
    static constexpr int UpdateEveryMs = 500;

    QDialog *m_dialog = nullptr;
    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceUpdate;
    bool m_cancelled = false;
};
