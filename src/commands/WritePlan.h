#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class UserDialogs;

// The texts of the grid writes and of write all.
namespace WriteMessages {
inline const QString BadBlockHex = QStringLiteral("Block data should be consist of hex numbers!");
inline const QString BadIncrementHex = QStringLiteral("Increment Value should be consist of hex numbers!");
inline const QString BadValueHex = QStringLiteral("Value should be consist of hex numbers!");
inline const QString SeeNextWarning = QStringLiteral("SEE NEXT WARNING MESSAGE");
inline const QString InvalidTrailer =
    QStringLiteral("Invalid data in sector trailer block! Block will not be programmed");
inline const QString OtpWarning = QStringLiteral(
    "Once any bit of the OTP(One Time Programmable) area is set to 1 then it will never be possible to change it to 0. ");
inline const QString Continue = QStringLiteral("Do you want to continue?");
inline const QString WarningCaption = QStringLiteral("WARNING");
inline const QString WriteAllQuestion = QStringLiteral(
    "You are about to write/program all blocks including configuration blocks.Do you want to continue?");
} // namespace WriteMessages

// What a write will send, and what the user must see and answer before anything is
// sent. Built before the first frame (from a grid: view/WritePlan.h), so the whole of
// a write-all run is tested and confirmed first: a card is never left half programmed
// because of a bad cell or a declined warning further on.
struct WritePlan {
    struct Write {
        int number = 0;  // block or page
        QByteArray data; // 16 bytes for a block, 4 for a page
        friend bool operator==(const Write &, const Write &) = default;
    };

    // Yes/No questions (captioned "WARNING"), in block order; each is preceded by
    // "SEE NEXT WARNING MESSAGE".
    QStringList questions;
    // The message of the first failed test; when set, nothing is written.
    QString refusal;
    // In the order they are to be sent.
    QList<Write> writes;

    [[nodiscard]] bool refused() const { return !refusal.isEmpty(); }
    // Appends another plan's questions and writes; takes over its refusal.
    void append(const WritePlan &next);
};

// Shows the plan's questions in order ("SEE NEXT WARNING MESSAGE", then the Yes/No
// box, No the default), then its refusal if any. True when the writes may be sent.
[[nodiscard]] bool confirmWritePlan(UserDialogs &dialogs, const WritePlan &plan);
