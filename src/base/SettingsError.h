#pragma once

#include <stdexcept>
#include <string>

// The settings file could not be read or written. what() is the system's message;
// the action that needed the setting stops and the program goes on.
class SettingsError : public std::runtime_error
{
public:
    explicit SettingsError(const std::string &message) : std::runtime_error(message) {}
};
