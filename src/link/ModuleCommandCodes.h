#pragma once

#include <QtGlobal>

// The command byte of every request the program sends to the module.
namespace ModuleCommandCodes {

constexpr quint8 Reset = 0x80;
constexpr quint8 ReadVersion = 0x81;
constexpr quint8 Seek = 0x82;
constexpr quint8 Select = 0x83;
constexpr quint8 Authenticate = 0x85;
constexpr quint8 Read = 0x86;
constexpr quint8 ReadValue = 0x87;
constexpr quint8 Write = 0x89;
constexpr quint8 WriteValue = 0x8A;
constexpr quint8 WritePage = 0x8B;
constexpr quint8 WriteKey = 0x8C;
constexpr quint8 Increment = 0x8D;
constexpr quint8 Decrement = 0x8E;
constexpr quint8 RfField = 0x90;
constexpr quint8 ReadInputs = 0x91;
constexpr quint8 WriteOutputs = 0x92;
constexpr quint8 Halt = 0x93;
constexpr quint8 SetBaud = 0x94;
constexpr quint8 Sleep = 0x96;

} // namespace ModuleCommandCodes
