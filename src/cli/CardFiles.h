#pragma once

#include "card/CardImage.h"
#include "files/DumpFormat.h"

#include <QString>

#include <memory>
#include <optional>

class CardGridModel;

// Card image files for the command line: any dump format or a template, the format
// from --format or else from the file (as the Open dialog tells it).
namespace CardFiles {

// The format for a file being written: the --format name, else the file name's
// extension; none with *error set when neither tells.
[[nodiscard]] std::optional<DumpFormat> formatForWriting(const QString &path, const QString &formatName, QString *error);

// The file's card grid, as File > Open fills it: a dump's known bytes, a template's
// cells. card: the card type wanted when the file could hold several (templates), or
// none for the file's own. Null with *error set on failure.
[[nodiscard]] std::unique_ptr<CardGridModel> loadGrid(const QString &path, const QString &formatName,
                                                      std::optional<CardType> card, QString *error);
// The file's card image; a template's empty cells are unknown bytes.
[[nodiscard]] std::optional<CardImage> loadImage(const QString &path, const QString &formatName,
                                                 std::optional<CardType> card, QString *error);

// Writes the image in the format (replacing the file only once all is written).
// False with *error set, also when the format cannot hold the card type or the
// image's unknown bytes.
[[nodiscard]] bool save(const QString &path, DumpFormat format, const CardImage &image, QString *error);

} // namespace CardFiles
