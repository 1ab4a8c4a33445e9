#include "FuzzTargets.h"

#include "link/ModuleAnswers.h"
#include "link/TagReport.h"

// A select or seek answer of any length and content, read for each card type.
int fuzzTagReport(const uint8_t *data, size_t size)
{
    const QByteArray frame(reinterpret_cast<const char *>(data), qsizetype(size));
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        const int length = ModuleAnswers::serialLength(type);
        const std::optional<TagReport> report = TagReport::fromFrame(frame, type);
        FUZZ_CHECK(report.has_value() == (frame.size() >= ModuleAnswers::tagReportFrameSize(length)));
        if (!report)
            continue;
        FUZZ_CHECK(report->type.size() == 2 && report->serial.size() == 2 * length);
        FUZZ_CHECK(report->interpretation().endsWith(report->serial));
        FUZZ_CHECK(report->statusText().startsWith("TAG TYPE:" + report->type));
    }
    return 0;
}
