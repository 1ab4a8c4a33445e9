#pragma once

#include "files/CardImage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The card image file formats the Open and Save As dialogs offer: the program's own
// template and the dump formats other card tools use.
enum class DumpFormat { Template, Raw, Eml, Json, Mct, Nfc };

namespace DumpFormats {

// Dialog filters, "*.mtp" first (the default), then one per dump format.
[[nodiscard]] QStringList filters();
// The Open dialog's filters: "All card images" (every format that opens), then filters().
[[nodiscard]] QStringList openFilters();
// The format of a dialog filter; Template for anything not in filters().
[[nodiscard]] DumpFormat ofFilter(const QString &filter);
// The extension added to a name that has none (".bin", ".json", ...).
[[nodiscard]] QString extension(DumpFormat format);
// How messages name the format ("a sector text dump (.mct)").
[[nodiscard]] QString describe(DumpFormat format);

// The format of a file being opened: a name containing ".mtp" is a template; then a
// known extension decides, then the content, then the chosen filter.
[[nodiscard]] DumpFormat detect(const QString &fileName, const QByteArray &data, const QString &selectedFilter);

// Whether the format can hold unknown bytes, and whether it can hold a card type.
[[nodiscard]] bool storesUnknown(DumpFormat format);
[[nodiscard]] bool supports(DumpFormat format, CardType type);

// The reader and writer of a dump format (not Template).
[[nodiscard]] std::optional<CardImage> read(DumpFormat format, const QByteArray &data, QString *problem);
[[nodiscard]] QByteArray write(DumpFormat format, const CardImage &image);
// What a dump that was read carries besides the card's bytes, as a log line; empty
// when there is nothing to say.
[[nodiscard]] QByteArray note(DumpFormat format, const QByteArray &data);

} // namespace DumpFormats
