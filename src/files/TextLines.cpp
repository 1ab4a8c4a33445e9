#include "files/TextLines.h"

namespace TextLines {

QByteArrayList split(const QByteArray &data)
{
    QByteArrayList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < data.size()) {
        const char c = data.at(i);
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.append(data.mid(start, i - start));
        i += (c == '\r' && i + 1 < data.size() && data.at(i + 1) == '\n') ? 2 : 1;
        start = i;
    }
    if (start < data.size())
        lines.append(data.mid(start));
    return lines;
}

QByteArray trimmed(const QByteArray &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && (line.at(begin) == ' ' || line.at(begin) == '\t'))
        ++begin;
    while (end > begin && (line.at(end - 1) == ' ' || line.at(end - 1) == '\t'))
        --end;
    return line.mid(begin, end - begin);
}

} // namespace TextLines
