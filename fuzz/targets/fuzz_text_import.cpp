#include "FuzzTargets.h"

#include "files/TextArea.h"
#include "view/CardGridModel.h"

// A text file of any content imported into each card type's grid, then viewed as text
// again: what comes back is the text, cut to the area, without its zero bytes.
int fuzzTextImport(const uint8_t *data, size_t size)
{
    fuzzEnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray text = TextArea::fileText(bytes);
    FUZZ_CHECK(text.isEmpty() || text.endsWith("\r\n"));
    static CardGridModel grids[] = {CardGridModel(CardType::Mifare1K), CardGridModel(CardType::Mifare4K),
                                    CardGridModel(CardType::MifareUL)};
    for (CardGridModel &grid : grids) {
        TextArea::importText(grid, text);
        const qsizetype area = TextArea::byteIndexes(grid.cardType(), TextArea::Use::ImportOrView).size();
        QByteArray expected = text.left(area);
        expected.replace('\0', QByteArray());
        FUZZ_CHECK(TextArea::gridText(grid, TextArea::Use::ImportOrView) == expected);
        (void)TextArea::gridText(grid, TextArea::Use::Export);
    }
    return 0;
}
