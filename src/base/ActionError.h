#pragma once

#include <QString>

#include <stdexcept>

// An error that ends a user action and says itself what the error box shows. Errors of
// lower layers (the serial port's EComPort) derive from it, so that guardAction needs
// to know none of them.
class ActionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;

    // The error box text: by default the message.
    [[nodiscard]] virtual QString boxText() const { return QString::fromLocal8Bit(what()); }
};
