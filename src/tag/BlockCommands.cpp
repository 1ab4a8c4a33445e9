#include "tag/BlockCommands.h"

#include "app/MainWindowUi.h"
#include "card/CardGeometry.h"
#include "link/Frame.h"
#include "card/Hex.h"
#include "link/ModuleAnswers.h"
#include "link/ModuleCommandCodes.h"
#include "link/ModuleLink.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "view/CardLayout.h"

#include <QCheckBox>

namespace {

constexpr int BlockBytes = 16;
constexpr int PageBytes = 4;
constexpr int PagesPerRead = CardGeometry::PagesPerRead;
// A read answer: FF 00 12 86, the echoed number, 16 data bytes and the checksum.
constexpr int ReadDataFirstByte = 5;
constexpr int ReadAnswerSize = ReadDataFirstByte + BlockBytes + 1;

QByteArray number(int n)
{
    return QByteArray::number(n);
}

// The first n bytes of data, missing ones as zero.
QByteArray firstBytes(const QByteArray &data, int n)
{
    QByteArray bytes = data.left(n);
    bytes.append(QByteArray(n - bytes.size(), '\0'));
    return bytes;
}

} // namespace

BlockCommands::BlockCommands(MainWindowUi &ui, ModuleLink &link, CardGrids &grids,
                             std::function<CardType()> cardType)
    : m_ui(ui)
    , m_link(link)
    , m_grids(grids)
    , m_cardType(std::move(cardType))
{
}

QByteArray BlockCommands::pageRun(int page)
{
    QByteArray run = number(page);
    for (int i = 1; i < PagesPerRead; ++i)
        run += "-" + number(CardGeometry::pageOfRead(page, i));
    return run;
}

QByteArray BlockCommands::lastReadText(const QByteArray &sixteenBytes)
{
    QByteArray text;
    for (const char byte : sixteenBytes)
        text += " " + Hex::pair(quint8(byte));
    return text + " ascii: " + Frame::nonZeroChars(sixteenBytes);
}

void BlockCommands::switchAsciiOff()
{
    // Unchecking converts the grids back to hex, so the read lands on hex cells.
    if (m_ui.cb_ascii->isChecked())
        m_ui.cb_ascii->setChecked(false);
}

void BlockCommands::ReadBlock(QByteArray &echo, QByteArray &data, int block, QByteArray &result)
{
    const ModuleResponse response = read(block, result);
    echo = response.echo;
    data = response.data;
}

ModuleResponse BlockCommands::read(int block, QByteArray &result)
{
    switchAsciiOff();
    const bool ultralight = m_cardType() == CardType::MifareUL;
    const QByteArray label = ultralight ? "(Read Command) Page:" + pageRun(block) : "(Read Command) Block:" + number(block);
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::Read, QByteArray(1, char(quint8(block)))), {}, label);
    if (!response.ok) {
        result = "error";
        return response;
    }
    const QByteArray failed = m_link.tagStatusText + " | Block No:" + number(block) + " | Read Failed!";
    if (!response.isData() && response.status() == ModuleAnswers::Failed) {
        m_link.logResponse(response, "READ FAILED");
        m_link.setStatus(failed);
        result = "error";
        return response;
    }
    if (!response.isData() && response.status() == ModuleAnswers::NoTag) {
        m_link.logResponse(response, "NO TAG");
        m_link.setStatus(failed);
        result = "error";
        return response;
    }
    // Any other status, and a data answer too short to hold the 16 bytes, which would
    // otherwise be copied from beyond the frame.
    if (response.frame.size() < ReadAnswerSize) {
        m_link.logResponse(response, "Unexpected Response");
        m_link.tagStatusText = "Unexpected Response.Select Right com port";
        m_link.setStatus(m_link.tagStatusText);
        result = "error";
        return response;
    }
    m_link.logResponse(response, "READ OK");
    const QByteArray where = ultralight ? " | Page No:" + pageRun(block) : " | Block No:" + number(block);
    m_link.setStatus(m_link.tagStatusText + where + " | READ OK! " + response.data);
    return response;
}

void BlockCommands::ReadBlockToGrid(int block, QByteArray &result)
{
    result = "error";
    QByteArray readResult;
    const ModuleResponse response = read(block, readResult);
    if (readResult == "error")
        return;
    const QByteArray bytes = response.frame.mid(ReadDataFirstByte, BlockBytes);
    m_grids.setLastReadText(lastReadText(bytes));
    result = "ok";
    if (m_ui.cb_getdata->isChecked())
        copyToGrid(block, bytes);
}

void BlockCommands::copyToGrid(int block, const QByteArray &sixteenBytes)
{
    const CardType type = m_cardType();
    CardGridModel &grid = m_grids.model(type);
    if (type == CardType::MifareUL) {
        for (int i = 0; i < PagesPerRead; ++i) {
            const int row = CardGeometry::rowOfBlock(CardGeometry::pageOfRead(block, i));
            for (int b = 0; b < PageBytes; ++b)
                grid.setCell(CardLayout::kFirstByteColumnUL + b, row,
                             Hex::pair(quint8(sixteenBytes.at(i * PageBytes + b))));
        }
        return;
    }
    // The keys in a trailer's answer read as zeros: the grid keeps its own.
    if (CardGeometry::isClassicTrailer(block))
        return;
    const int row = CardGeometry::rowOfBlock(block);
    for (int b = 0; b < BlockBytes; ++b)
        grid.setCell(CardLayout::kFirstByteColumnClassic + b, row, Hex::pair(quint8(sixteenBytes.at(b))));
}

void BlockCommands::WriteBlock(const QByteArray &data, int block, QByteArray &result)
{
    const QByteArray payload = char(quint8(block)) + firstBytes(data, BlockBytes);
    const ModuleResponse response = m_link.transact(Frame::request(ModuleCommandCodes::Write, payload),
                                                    Frame::nonZeroChars(payload),
                                                    "(Write Command) Block:" + number(block));
    if (!response.ok) {
        result = "error";
        return;
    }
    const QByteArray prefix = m_link.tagStatusText + " | Block No:" + number(block);
    if (response.isData()) {
        // The block as read back; the module has already compared it.
        m_link.reportWritten(response, prefix);
        return;
    }
    using namespace ModuleAnswers;
    const char outcome = m_link.reportStatus(response, prefix,
                                             {{NotReadAfterWrite, "UNABLE TO READ AFTER WRITE", "Write is failed!"},
                                              {NoTag, "NO TAG", "Write is failed!"},
                                              {ReadBackFailed, "READ AFTER WRITE IS FAILED", "Write may be failed!"},
                                              {Failed, "WRITE IS FAILED", "Write is failed!"}});
    // Written, only the verification failed: callers go on.
    result = outcome == ReadBackFailed ? "no_error" : "error";
}

void BlockCommands::WritePage(const QByteArray &data, int page, QByteArray &result)
{
    switchAsciiOff();
    const QByteArray payload = char(quint8(page)) + firstBytes(data, PageBytes);
    const ModuleResponse response = m_link.transact(Frame::request(ModuleCommandCodes::WritePage, payload),
                                                    Frame::nonZeroChars(payload),
                                                    "(Write 4 Byte, Page: " + number(page) + " )");
    if (!response.ok) {
        result = "error";
        return;
    }
    if (response.isData()) {
        m_link.reportWritten(response, m_link.tagStatusText);
        return;
    }
    using namespace ModuleAnswers;
    (void)m_link.reportStatus(response, m_link.tagStatusText,
                              {{ReadBackFailed, "READ AFTER WRITE FAILED", "Read after Write is failed!"},
                               {NotReadAfterWrite, "READ AFTER WRITE FAILED(X)", "Read after Write is failed!"},
                               {NoTag, "NO TAG", "Write is failed!"},
                               {Failed, "FAILED", "Read is failed during verification!"}});
    result = "error";
}
