#pragma once

#include "card/CardImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A card image from the bytes of any file the program opens: a dump in one of its
// formats, or a template (of the preferred card type when it holds several). A
// template's cell that is not two hexadecimal digits is an unknown byte.
namespace CardImageFile {

[[nodiscard]] std::optional<CardImage> read(const QString &fileName, const QByteArray &data,
                                            const QString &selectedFilter, CardType preferred, QString *problem);

} // namespace CardImageFile
