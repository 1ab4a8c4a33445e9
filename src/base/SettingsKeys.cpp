#include "base/SettingsKeys.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr const char *Plain[] = {"ComPort", "Baud", "Tag_Type", "Seek_For_Tag", "ONLINE", "KeyConfig", "KeyAB",
                                 "IKeys", "IKey_Type", "IE2prom_Block_No", "PcscReader"};
// One key per card type: name + "1K", "4K" (and "UL" for the last group).
constexpr const char *Classic[] = {"Auth_Source", "Keys", "Key_Type", "Auth_Block_No", "Read_Block_No",
                                   "E2prom_Block_No"};
constexpr const char *EveryType[] = {"Auto", "Get_Grid_Data", "LastFile"};

bool inList(const QByteArray &name, const char *const *first, const char *const *last)
{
    return std::any_of(first, last, [&name](const char *key) { return name == key; });
}

} // namespace

bool SettingsKeys::isKnown(const QByteArray &line)
{
    if (inList(line, std::begin(Plain), std::end(Plain)))
        return true;
    const QByteArray suffix = line.right(2);
    const QByteArray name = line.chopped(qMin<qsizetype>(2, line.size()));
    if (suffix == "1K" || suffix == "4K")
        return inList(name, std::begin(Classic), std::end(Classic))
            || inList(name, std::begin(EveryType), std::end(EveryType));
    return suffix == "UL" && inList(name, std::begin(EveryType), std::end(EveryType));
}
