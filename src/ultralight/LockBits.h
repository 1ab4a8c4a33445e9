#pragma once

#include <QByteArray>

#include <array>
#include <optional>

// The sixteen lock bits of a MIFARE Ultralight card (page 2, bytes 2 and 3: lock byte
// 0 and lock byte 1). Every bit set there is permanent. Listed lock byte 0 bit 7 first
// down to lock byte 1 bit 0, the order in which the warnings are given.
struct LockBit {
    int lockByte; // 0 or 1
    int bit;      // 7 (most significant) .. 0
    const char *box;     // objectName of the editor's check box
    const char *caption; // its caption
    const char *warning; // the line that warns about setting it (no line feed)
};

inline constexpr std::array<LockBit, 16> LockBits = {{
    {0, 7, "cb_p7", "Page 7", "*You wont be able to program Page 7 again"},
    {0, 6, "cb_p6", "Page 6", "*You wont be able to program Page 6 again"},
    {0, 5, "cb_p5", "Page 5", "*You wont be able to program Page 5 again"},
    {0, 4, "cb_p4", "Page 4", "*You wont be able to program Page 4 again"},
    {0, 3, "cb_otp", "OTP", "*You wont be able to program OTP again"},
    {0, 2, "cb_fp150", "Froze config for P15 - P10", "*You wont be able to change lock settings of Page 15 - Page 10 again"},
    {0, 1, "cb_fp94", "Froze config for P9 - P4", "*You wont be able to change lock settings of Page 9- Page 4 again"},
    {0, 0, "cb_fotp", "Froze config for OTP", "*You wont be able to change lock settings of OTP again"},
    {1, 7, "cb_p15", "Page 15", "*You wont be able to program Page 15 again"},
    {1, 6, "cb_p14", "Page 14", "*You wont be able to program Page 14 again"},
    {1, 5, "cb_p13", "Page 13", "*You wont be able to program Page 13 again"},
    {1, 4, "cb_p12", "Page 12", "*You wont be able to program Page 12 again"},
    {1, 3, "cb_p11", "Page 11", "*You wont be able to program Page 11 again"},
    {1, 2, "cb_p10", "Page 10", "*You wont be able to program Page 10 again"},
    {1, 1, "cb_p9", "Page 9", "*You wont be able to program Page 9 again"},
    {1, 0, "cb_p8", "Page 8", "*You wont be able to program Page 8 again"},
}};

// Value of a lock byte held as grid text: the first two characters read as
// hexadecimal digits (either case). Text that is not hexadecimal has no value, so it
// can never switch on lock bits the user did not see.
[[nodiscard]] inline std::optional<quint8> lockByteValue(const QByteArray &text)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    if (text.size() < 2 || digit(text.at(0)) < 0 || digit(text.at(1)) < 0)
        return std::nullopt;
    return quint8(digit(text.at(0)) * 16 + digit(text.at(1)));
}
