#include "view/CellLook.h"

#include "view/CardLayout.h"

namespace {

CellLook blank(CellLook look)
{
    look.body = CellLook::Body::Blank;
    return look;
}

CellLook button(CellLook look, const char *caption, int offset)
{
    look.body = CellLook::Body::Button;
    look.caption = QString::fromLatin1(caption);
    look.captionOffset = offset;
    return look;
}

CellLook classicLook(int c, int r)
{
    CellLook look;
    look.titleBand = r == 0;
    const bool trailer = IsTrailerRow(r);
    look.separator = CardLayout::isSectorStartRow(r) && c < 19;
    look.cream = trailer && c < 19;
    look.leftRule = c == 2 || c == 18;
    if (trailer && c == 18)
        return button(look, "Set Keys", 5);
    if (CardLayout::isSpacerColumn(CardType::Mifare1K, c))
        return blank(look);
    if (r >= 3) {
        switch (c) {
        case 19: return button(look, "W", 4);
        case 21: return button(look, "R", 4);
        // A trailer holds no value, so its value buttons are left out.
        case 25: return trailer ? blank(look) : button(look, "IV", 4);
        case 27: return trailer ? blank(look) : button(look, "DV", 2);
        case 31: return trailer ? blank(look) : button(look, "WV", 2);
        case 33: return trailer ? blank(look) : button(look, "RV", 2);
        case CardLayout::kAmountColumn:
        case CardLayout::kValueColumn:
            look.body = trailer ? CellLook::Body::TrailerValue : CellLook::Body::ValueField;
            return look;
        default: return look;
        }
    }
    if (r == 2 && c == 21)
        return button(look, "R", 4);
    // Header rows and block 0 have no write, value or spacer painting right of "R".
    if (c == 19 || c == 20 || c >= 22)
        return blank(look);
    return look;
}

CellLook ultralightLook(int c, int r)
{
    CellLook look;
    look.titleBand = r == 0;
    look.separator = (r == 4 || r == 6) && c < 6;
    look.leftRule = c == 1 || c == 5;
    if (r == 4 && c == 5)
        return button(look, "Set Lock", 5);
    if (r >= 2 && c == 7)
        return button(look, "Read", 5);
    if (r >= 4 && c == 9)
        return button(look, "Write", 5);
    if (CardLayout::isSpacerColumn(CardType::MifareUL, c))
        return blank(look);
    return look;
}

} // namespace

CellLook cellLook(CardType type, int column, int row)
{
    return isClassic(type) ? classicLook(column, row) : ultralightLook(column, row);
}

TitleBand titleBand(CardType type)
{
    if (type == CardType::MifareUL)
        return {50, 330, 50, QStringLiteral("Byte Number")};
    return {72, 440, 182, QStringLiteral("Byte Number within the block")};
}
