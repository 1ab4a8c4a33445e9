#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QString>

#include <functional>

class CardGridModel;
class SettingsFile;
class UserDialogs;

// What the file commands need from the main window. Every member but the optional ones must be set.
struct FileContext {
    CardGridModel *grid1 = nullptr;
    CardGridModel *grid4 = nullptr;
    CardGridModel *gridUL = nullptr;
    SettingsFile *settings = nullptr;
    UserDialogs *dialogs = nullptr;
    // The selected card type (index of cmb_tag_type).
    std::function<CardType()> cardType;
    // Sets the card type box only; runs no change handler.
    std::function<void(CardType)> selectCardType;
    // The card-type change (tag_changeClick): stores Tag_Type, loads that type's
    // settings and shows its grid.
    std::function<void()> runCardTypeChange;
    // Unchecks "Grid as ASCII" when it is on, turning the byte cells back into hex.
    std::function<void()> switchAsciiOff;
    // Re-applies the layouts of grid1, grid4 and gridUL (byte cells keep their text).
    std::function<void()> applyLayouts;
    // Fills a grid with the default contents of its card type.
    std::function<void(CardGridModel &)> fillDefaults;
    // Appends one entry to the log pane.
    std::function<void(const QByteArray &)> appendLog;
    // Optional: false stops a load that would replace unsaved edits.
    std::function<bool()> mayLoad;
    // Optional: the grid of a card type was written to the named file.
    std::function<void(CardType, const QString &)> saved;
    // Optional: the named file was loaded into a grid.
    std::function<void(const QString &)> loaded;
};
