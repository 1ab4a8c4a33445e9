#include "FuzzTargets.h"

#include "link/Frame.h"
#include "card/Hex.h"
#include "commands/ValueCommands.h"

// The read-value answer as its hex echo: any text as the echo, and the echo of any frame.
int fuzzValueEcho(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &echo : {bytes, Hex::echo(bytes)}) {
        const QByteArray text = ValueCommands::valueTextFromEcho(echo);
        FUZZ_CHECK(text.isEmpty() || text.size() == 8);
        const QByteArray operand = ValueCommands::operandFromText(text.isEmpty() ? echo : text);
        FUZZ_CHECK(operand.size() == 4);
    }
    // The echo of a real frame holds the value bytes 5..8, most significant first.
    if (size >= 10) {
        const QByteArray text = ValueCommands::valueTextFromEcho(Hex::echo(bytes));
        FUZZ_CHECK(text == Hex::pair(data[8]) + Hex::pair(data[7]) + Hex::pair(data[6]) + Hex::pair(data[5]));
    }
    return 0;
}
