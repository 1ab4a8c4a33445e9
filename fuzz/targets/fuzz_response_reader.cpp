#include "FuzzTargets.h"

#include "link/Frame.h"
#include "link/FrameExchange.h"

// The input is everything the port receives. Answers are read one after another as the
// exchange reads them; a failure that purges the port throws the rest away, a time-out
// before the header ends the stream.
int fuzzResponseReader(const uint8_t *data, size_t size)
{
    QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    int asked = 0;
    const FrameExchange::ResponseSource source {
        [&](int count) {
            FUZZ_CHECK(count >= 1 && count <= Frame::MaxResponseLength + 1);
            asked = count;
            return input.size() >= count;
        },
        [&](int count) {
            // Only what waitForBytes has just confirmed is ever read.
            FUZZ_CHECK(count == asked && input.size() >= count);
            const QByteArray bytes = input.left(count);
            input.remove(0, count);
            return bytes;
        },
    };
    while (true) {
        const qsizetype before = input.size();
        const FrameExchange::ReadOutcome outcome = FrameExchange::readResponseFrom(source);
        const ModuleResponse &r = outcome.response;
        if (r.ok) {
            FUZZ_CHECK(outcome.failure.isEmpty());
            const int length = quint8(r.frame.at(2));
            FUZZ_CHECK(length <= Frame::MaxResponseLength);
            FUZZ_CHECK(r.frame.size() == length + 4);
            FUZZ_CHECK(r.frame == QByteArray(reinterpret_cast<const char *>(data) + (size - before), r.frame.size()));
            FUZZ_CHECK(quint8(r.frame.back()) == Frame::checksum(r.frame));
            FUZZ_CHECK(r.echo.size() >= r.frame.size() * 2);
            FUZZ_CHECK(!r.data.contains('\0') && r.data.size() <= length);
            (void)r.isData();
            (void)r.status();
            for (int i = -1; i <= r.frame.size(); ++i)
                FUZZ_CHECK((r.byteAt(i) == -1) == (i < 0 || i >= r.frame.size()));
            continue;
        }
        FUZZ_CHECK(!outcome.failure.isEmpty() && r.echo == "error" && r.data.isEmpty());
        if (!outcome.purge) {
            FUZZ_CHECK(before < 3 && input.size() == before);
            break;
        }
        input.clear();
    }
    return 0;
}
