#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The two access tables that the editor shows and that every description and lock
// warning is measured against: what each access index allows on a data block group
// and on the sector trailer. Same for both card sizes and both sector sizes.
namespace AccessTables {

// Access indices in the order the tables and the radio buttons list them (C1C2C3 =
// 000, 010, 100, 110, 001, 011, 101, 111).
inline constexpr std::array<int, 8> DisplayOrder = {0, 2, 4, 6, 1, 3, 5, 7};

// Display row 0..7 of an access index; -1 outside 0..7.
[[nodiscard]] int displayRowOf(int k);

// Data block groups 0..2: 7 columns, one caption row.
[[nodiscard]] QStringList dataCaptions();
[[nodiscard]] QList<int> dataColumnWidths();
// The row of index k: "0"/"1" for C1..C3, then Read, Write, Increment, Decrement.
[[nodiscard]] QStringList dataRow(int k);

// Sector trailer: 9 columns, two caption rows. The first row names the column pairs;
// each caption stands in the first column of its pair.
[[nodiscard]] QStringList trailerGroupCaptions();
[[nodiscard]] QStringList trailerCaptions();
[[nodiscard]] QList<int> trailerColumnWidths();
// The row of index k: C1..C3, then Key A read/write, access bits read/write, Key B read/write.
[[nodiscard]] QStringList trailerRow(int k);
// Rows in which Key B is readable: data access with Key B fails there, so they are
// shaded and the data pages warn about them.
[[nodiscard]] bool keyBReadable(int k);

// The plain-language description of index k for a block group: Read, Write,
// Increment, Decrement for groups 0..2; Key A read/write, access bits read/write,
// Key B read/write for group 3. Empty for a k outside 0..7.
[[nodiscard]] QStringList AccessDescriptionTexts(int group, int k);

} // namespace AccessTables
