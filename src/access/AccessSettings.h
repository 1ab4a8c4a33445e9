#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <array>

// The access editor's two settings: KeyConfig (the access indices of block groups 0
// to 3) and KeyAB (key A and key B as 12 hexadecimal digits each, the user data byte
// as 2). The file can be edited by hand, so reading never trusts it.
namespace AccessSettings {

inline constexpr char KeyConfigKey[] = "KeyConfig";
inline constexpr char KeyConfigDefault[] = "0,0,0,1,";
inline constexpr char KeyABKey[] = "KeyAB";
inline constexpr char KeyABDefault[] = "5C5C5C5C5C5C,5C5C5C5C5C5C,FF,";

// Index of a group when its KeyConfig value is missing or not a number 0..7: the
// transport configuration (data groups 0, trailer 1), which locks nothing.
[[nodiscard]] int defaultIndex(int group);

// The four access indices of KeyConfig's values; each missing or damaged value is
// replaced by defaultIndex of its group, values past the fourth are ignored.
[[nodiscard]] std::array<int, 4> parseKeyConfig(const QByteArrayList &values);
// KeyConfig's values; a group without a choice (-1) gives an empty value.
[[nodiscard]] QByteArrayList keyConfigValues(const std::array<int, 4> &indices);

// The 13 byte edit texts (key A bytes 0..5, key B bytes 0..5, user data) taken from
// KeyAB's values two characters at a time; what is missing stays empty or short.
[[nodiscard]] QByteArrayList splitKeyAB(const QByteArrayList &values);
// KeyAB's three values from the 13 byte edit texts.
[[nodiscard]] QByteArrayList keyABValues(const QByteArrayList &texts);

} // namespace AccessSettings
