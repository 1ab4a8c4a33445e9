#pragma once

#include "app/UserDialogs.h"
#include "link/EComPort.h"

#include <QString>

#include <stdexcept>
#include <utility>

// Runs one user action. Errors of the serial port (EComPort) and of the settings file
// (SettingsError) end the action and are shown in the modal error box; the window
// stays usable. Qt lets no exception cross its event loop, so every slot that can meet
// one runs its body through here. Returns false when the action was stopped by an error.
template<typename Action>
bool guardAction(UserDialogs &dialogs, Action &&action)
{
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const EComPort &error) {
        dialogs.showError(error.boxText());
        return false;
    } catch (const std::runtime_error &error) {
        dialogs.showError(QString::fromLocal8Bit(error.what()));
        return false;
    }
}
