#pragma once

#include <QByteArray>
#include <QString>

// The module's frame format, both directions:
//   FF 00 Length Command Data... Checksum
// Length counts the command byte and the data bytes; the checksum is the low 8 bits
// of the sum of every byte after the header.
class SimFrame
{
public:
    static constexpr quint8 Header = 0xFF;
    // Largest Length a frame may announce: the program's receive buffer holds 65 + 1 bytes.
    static constexpr int MaxLength = 65;

    // Sum of bytes 1 .. size-2 of a complete frame (the byte the checksum must equal).
    [[nodiscard]] static quint8 checksumOf(const QByteArray &frame);
    // A complete frame for command and data, checksum included.
    [[nodiscard]] static QByteArray build(quint8 command, const QByteArray &data = {});
    // A status answer: one status byte after the command byte (6 bytes in all).
    [[nodiscard]] static QByteArray status(quint8 command, char statusByte);
    // True when the frame's size matches its Length byte and its checksum is right.
    [[nodiscard]] static bool isWellFormed(const QByteArray &frame);
    // Command byte and data bytes of a well-formed frame.
    [[nodiscard]] static quint8 command(const QByteArray &frame);
    [[nodiscard]] static QByteArray data(const QByteArray &frame);

    // "FF 00 01 83 84": bytes as upper-case hex pairs separated by blanks.
    [[nodiscard]] static QString hex(const QByteArray &bytes);
    // Parses hex pairs, blanks and ':' allowed between them; empty result on any error.
    [[nodiscard]] static QByteArray parseHex(const QString &text);
    // A short name of a command code for the trace ("select", "read", ...).
    [[nodiscard]] static QString commandName(quint8 command);
};
