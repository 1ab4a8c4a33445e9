#include "FuzzTargets.h"

#include "card/CardImage.h"
#include "files/GridImage.h"
#include "files/TemplateReader.h"
#include "files/TextLines.h"
#include "view/CardGridModel.h"

// A template file of any content, loaded the way Open loads it: split into lines, the
// formats its header names, and each format's cells into that format's grid.
int fuzzTemplateReader(const uint8_t *data, size_t size)
{
    fuzzEnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArrayList lines = TextLines::split(bytes);
    for (const QByteArray &line : lines)
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
    if (lines.isEmpty())
        return 0;
    static CardGridModel grids[] = {CardGridModel(CardType::Mifare1K), CardGridModel(CardType::Mifare4K),
                                    CardGridModel(CardType::MifareUL)};
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        // Every format, whatever the header names, so each reader sees every input.
        const TemplateReader::Content content = TemplateReader::read(lines, type);
        const int expectedCells = CardImage::byteCountOf(type) - CardImage::blockSizeOf(type)
            - (isClassic(type) ? 0 : 2 * CardImage::blockSizeOf(type) - 2);
        FUZZ_CHECK(content.cells.size() + content.missingCells == expectedCells);
        FUZZ_CHECK(content.missingLines <= content.expectedLines && content.shortLines <= content.expectedLines);
        CardGridModel &grid = grids[int(type)];
        for (const TemplateReader::CellText &cell : content.cells) {
            FUZZ_CHECK(cell.byteIndex >= 0 && cell.byteIndex < CardImage::byteCountOf(type));
            FUZZ_CHECK(cell.text.size() == 2);
            const int column = GridImage::columnOf(type, cell.byteIndex);
            const int row = GridImage::rowOf(type, cell.byteIndex);
            FUZZ_CHECK(column >= 0 && column < grid.columns() && row >= 0 && row < grid.rows());
            grid.setCell(column, row, cell.text);
        }
        FUZZ_CHECK(TemplateReader::describeMissing(content, type).isEmpty() == (content.missingCells == 0));
    }
    (void)TemplateReader::typesOf(lines.first());
    return 0;
}
