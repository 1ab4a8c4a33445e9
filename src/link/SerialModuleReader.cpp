#include "link/SerialModuleReader.h"

#include "base/ActionGuard.h"
#include "card/CardGeometry.h"
#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/Frame.h"
#include "link/ModuleAnswers.h"
#include "link/ModuleCommandCodes.h"
#include "link/ModuleLink.h"
#include "link/TagReport.h"

namespace {

const QByteArray SeekMode = QByteArrayLiteral("select_continuous");
const QByteArray Seeking = QByteArrayLiteral("SEEKING FOR TAG");
const QByteArray StrayBytes = QByteArrayLiteral("Stray bytes on the line discarded");

constexpr int BlockBytes = 16;
constexpr int PageBytes = 4;
constexpr int ValueBytes = 4;
// A read answer: FF 00 12 86, the echoed number, 16 data bytes and the checksum.
constexpr int ReadDataFirstByte = 5;
constexpr int ReadAnswerSize = ReadDataFirstByte + BlockBytes + 1;
// A read-value answer: FF 00 06 87, the echoed block, V0..V3 and the checksum.
constexpr int ValueFirstByte = 5;
constexpr int ReadValueAnswerSize = ValueFirstByte + ValueBytes + 1;

QByteArray number(int n)
{
    return QByteArray::number(n);
}

// "p-(p+1)-(p+2)-(p+3)", page numbers wrapping after 15.
QByteArray pageRun(int page)
{
    QByteArray run = number(page);
    for (int i = 1; i < CardGeometry::PagesPerRead; ++i)
        run += "-" + number(CardGeometry::pageOfRead(page, i));
    return run;
}

// The first n bytes of data, missing ones as zero.
QByteArray firstBytes(const QByteArray &data, int n)
{
    QByteArray bytes = data.left(n);
    bytes.append(QByteArray(n - bytes.size(), '\0'));
    return bytes;
}

QByteArray valueLabel(const char *operation, int block)
{
    return QByteArray("(") + operation + " Value Block: " + number(block) + " )";
}

// The request as it went out, checksum included.
QByteArray sent(const QByteArray &frame)
{
    QByteArray bytes = frame;
    if (!bytes.isEmpty())
        bytes[bytes.size() - 1] = char(Frame::checksum(bytes));
    return bytes;
}

// The reader's account of one exchange; a failed answer (already logged by the
// exchange) comes back as NoAnswer with no answer bytes.
ReaderResult resultOf(ReaderOutcome outcome, const QByteArray &frame, const ModuleResponse &response,
                      const QByteArray &meaning, const QByteArray &data = {})
{
    if (!response.ok)
        return ReaderResult {outcome, data, ReaderExchange {sent(frame), {}, {}, meaning}};
    return ReaderResult {outcome, data, ReaderExchange {sent(frame), response.frame, response.data, meaning}};
}

ReaderOutcome outcomeOfStatus(char status)
{
    using namespace ModuleAnswers;
    switch (status) {
    case NoTag: return ReaderOutcome::NoTag;
    case Failed: return ReaderOutcome::Failed;
    case NotReadAfterWrite: return ReaderOutcome::Failed;
    case NotValueBlock: return ReaderOutcome::NotValueBlock;
    case ReadBackFailed: return ReaderOutcome::WrittenUnverified;
    default: return ReaderOutcome::Unexpected;
    }
}

} // namespace

SerialModuleReader::SerialModuleReader(ModuleLink &link, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_dialogs(dialogs)
{
    connect(&m_link.port(), &ComPort::rxChar, this, &SerialModuleReader::ComPort1RxChar);
}

ReaderCapabilities SerialModuleReader::capabilities() const
{
    return ReaderCapabilities {true, true, true, true, 16};
}

bool SerialModuleReader::seekWaiting() const
{
    // Any link mode holds pending reads back: a seek not yet answered, and the port
    // opened again ("listen") after a seek that had no answer.
    return !m_link.linkMode.isEmpty();
}

void SerialModuleReader::setTagStatus(const QByteArray &text)
{
    m_link.tagStatusText = text;
    m_link.setStatus(text);
}

ReaderResult SerialModuleReader::seek(CardType card)
{
    // Opening the port sets "listen"; the seek mode must come after it.
    m_link.ensureOpen();
    m_link.linkMode = SeekMode;
    m_seekCard = card;
    const QByteArray frame = Frame::request(ModuleCommandCodes::Seek);
    const ModuleResponse response = m_link.transact(frame, {}, "(Auto Select Command)");
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    const std::optional<TagReport> report =
        response.isData() ? TagReport::fromFrame(response.frame, card) : std::nullopt;
    if (!report) {
        // Still looking: the tag report comes later, unasked.
        m_link.logResponse(response, Seeking);
        setTagStatus(Seeking);
        return resultOf(ReaderOutcome::Waiting, frame, response, Seeking);
    }
    m_link.logResponse(response, report->interpretation());
    setTagStatus(report->statusText());
    // The seek has had its answer: nothing is left waiting for a tag report, so a
    // seek-mode read may go on and a later unasked frame is not taken for one.
    m_link.linkMode.clear();
    return resultOf(ReaderOutcome::Done, frame, response, report->interpretation(), report->serial);
}

ReaderResult SerialModuleReader::select(CardType card)
{
    const QByteArray frame = Frame::request(ModuleCommandCodes::Select);
    const ModuleResponse response = m_link.transact(frame, {}, "(Select Command)");
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    if (response.isData()) {
        if (const std::optional<TagReport> report = TagReport::fromFrame(response.frame, card)) {
            m_link.logResponse(response, report->interpretation());
            setTagStatus(report->statusText());
            return resultOf(ReaderOutcome::Done, frame, response, report->interpretation(), report->serial);
        }
    } else if (ModuleAnswers::isStatus(response.data, ModuleAnswers::NoTag)) {
        m_link.logResponse(response, "NO TAG");
        setTagStatus("NO TAG FOUND");
        return resultOf(ReaderOutcome::NoTag, frame, response, "NO TAG");
    }
    // Any other status, and a data answer too short for the chosen card's serial.
    m_link.logResponse(response, "Unexpected Response");
    setTagStatus("Unexpected Response.Select Right com port");
    return resultOf(ReaderOutcome::Unexpected, frame, response, "Unexpected Response");
}

ReaderResult SerialModuleReader::halt()
{
    const QByteArray frame = Frame::request(ModuleCommandCodes::Halt);
    const ModuleResponse response = m_link.transact(frame, {}, "(Halt Command)");
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    // A tag that was not selected cannot be halted either: every answer will do.
    m_link.logResponse(response, "PICC HALTED");
    setTagStatus("PICC IS HALTED");
    return resultOf(ReaderOutcome::Done, frame, response, "PICC HALTED");
}

std::optional<SerialModuleReader::AuthRequest> SerialModuleReader::authRequest(int block, const KeySource &key)
{
    if (block < 0 || block > 255)
        return std::nullopt;
    const bool typeA = key.type == KeySource::Type::A;
    QByteArray data(1, char(quint8(block)));
    switch (key.kind) {
    case KeySource::Kind::ReaderDefault:
        data.append(char(0xFF));
        return AuthRequest {Frame::request(ModuleCommandCodes::Authenticate, data), {}};
    case KeySource::Kind::Bytes: {
        if (key.bytes.size() != 6)
            return std::nullopt;
        data.append(char(typeA ? 0xAA : 0xBB));
        data.append(key.bytes);
        return AuthRequest {Frame::request(ModuleCommandCodes::Authenticate, data), Frame::nonZeroChars(key.bytes)};
    }
    case KeySource::Kind::StoreSlot:
        if (key.slot < 0 || key.slot > 15)
            return std::nullopt;
        data.append(char((typeA ? 0x10 : 0x20) + key.slot));
        return AuthRequest {Frame::request(ModuleCommandCodes::Authenticate, data), {}};
    }
    return std::nullopt;
}

ReaderResult SerialModuleReader::authenticate(int block, const KeySource &key)
{
    const std::optional<AuthRequest> request = authRequest(block, key);
    if (!request) {
        // Nothing could be sent, so nothing is authenticated.
        return ReaderResult {ReaderOutcome::Unsupported, {}, {}};
    }
    const ModuleResponse response = m_link.transact(request->frame, request->column, "(Authentication Command)");
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, request->frame, response, {});
    if (ModuleAnswers::isStatus(response.data, ModuleAnswers::Success)) {
        m_link.logResponse(response, "AUTHENTICATION OK");
        m_link.setStatus(m_link.tagStatusText + " | Authentication is OK!");
        return resultOf(ReaderOutcome::Done, request->frame, response, "AUTHENTICATION OK");
    }
    m_link.logResponse(response, "AUTHENTICATION FAILED");
    m_link.setStatus(m_link.tagStatusText + " | Authentication is failed!");
    return resultOf(ReaderOutcome::Failed, request->frame, response, "AUTHENTICATION FAILED");
}

ReaderResult SerialModuleReader::read(int block, CardType card)
{
    const bool ultralight = card == CardType::MifareUL;
    const QByteArray label = ultralight ? "(Read Command) Page:" + pageRun(block) : "(Read Command) Block:" + number(block);
    const QByteArray frame = Frame::request(ModuleCommandCodes::Read, QByteArray(1, char(quint8(block))));
    const ModuleResponse response = m_link.transact(frame, {}, label);
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    const QByteArray failed = m_link.tagStatusText + " | Block No:" + number(block) + " | Read Failed!";
    if (!response.isData() && response.status() == ModuleAnswers::Failed) {
        m_link.logResponse(response, "READ FAILED");
        m_link.setStatus(failed);
        return resultOf(ReaderOutcome::Failed, frame, response, "READ FAILED");
    }
    if (!response.isData() && response.status() == ModuleAnswers::NoTag) {
        m_link.logResponse(response, "NO TAG");
        m_link.setStatus(failed);
        return resultOf(ReaderOutcome::NoTag, frame, response, "NO TAG");
    }
    // Any other status, and a data answer too short to hold the 16 bytes, which would
    // otherwise be copied from beyond the frame.
    if (response.frame.size() < ReadAnswerSize) {
        m_link.logResponse(response, "Unexpected Response");
        m_link.tagStatusText = "Unexpected Response.Select Right com port";
        m_link.setStatus(m_link.tagStatusText);
        return resultOf(ReaderOutcome::Unexpected, frame, response, "Unexpected Response");
    }
    m_link.logResponse(response, "READ OK");
    const QByteArray where = ultralight ? " | Page No:" + pageRun(block) : " | Block No:" + number(block);
    m_link.setStatus(m_link.tagStatusText + where + " | READ OK! " + response.data);
    return resultOf(ReaderOutcome::Done, frame, response, "READ OK",
                    response.frame.mid(ReadDataFirstByte, BlockBytes));
}

ReaderResult SerialModuleReader::writeBlock(int block, const QByteArray &sixteenBytes)
{
    const QByteArray payload = char(quint8(block)) + firstBytes(sixteenBytes, BlockBytes);
    const QByteArray frame = Frame::request(ModuleCommandCodes::Write, payload);
    const ModuleResponse response =
        m_link.transact(frame, Frame::nonZeroChars(payload), "(Write Command) Block:" + number(block));
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    const QByteArray prefix = m_link.tagStatusText + " | Block No:" + number(block);
    if (response.isData()) {
        // The block as read back; the module has already compared it.
        m_link.reportWritten(response, prefix);
        return resultOf(ReaderOutcome::Done, frame, response, "WRITE OK");
    }
    using namespace ModuleAnswers;
    const char outcome = m_link.reportStatus(response, prefix,
                                             {{NotReadAfterWrite, "UNABLE TO READ AFTER WRITE", "Write is failed!"},
                                              {NoTag, "NO TAG", "Write is failed!"},
                                              {ReadBackFailed, "READ AFTER WRITE IS FAILED", "Write may be failed!"},
                                              {Failed, "WRITE IS FAILED", "Write is failed!"}});
    return resultOf(outcomeOfStatus(outcome), frame, response, {});
}

ReaderResult SerialModuleReader::writePage(int page, const QByteArray &fourBytes)
{
    const QByteArray payload = char(quint8(page)) + firstBytes(fourBytes, PageBytes);
    const QByteArray frame = Frame::request(ModuleCommandCodes::WritePage, payload);
    const ModuleResponse response =
        m_link.transact(frame, Frame::nonZeroChars(payload), "(Write 4 Byte, Page: " + number(page) + " )");
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    if (response.isData()) {
        m_link.reportWritten(response, m_link.tagStatusText);
        return resultOf(ReaderOutcome::Done, frame, response, "WRITE OK");
    }
    using namespace ModuleAnswers;
    const char outcome = m_link.reportStatus(response, m_link.tagStatusText,
                                             {{ReadBackFailed, "READ AFTER WRITE FAILED", "Read after Write is failed!"},
                                              {NotReadAfterWrite, "READ AFTER WRITE FAILED(X)", "Read after Write is failed!"},
                                              {NoTag, "NO TAG", "Write is failed!"},
                                              {Failed, "FAILED", "Read is failed during verification!"}});
    return resultOf(outcomeOfStatus(outcome), frame, response, {});
}

ReaderResult SerialModuleReader::readValue(int block)
{
    const QByteArray frame = Frame::request(ModuleCommandCodes::ReadValue, QByteArray(1, char(quint8(block))));
    const ModuleResponse response = m_link.transact(frame, {}, valueLabel("Read", block));
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    const QByteArray &tag = m_link.tagStatusText;
    if (response.isData()) {
        if (response.frame.size() < ReadValueAnswerSize) {
            m_link.reportUnexpected(response);
            return resultOf(ReaderOutcome::Unexpected, frame, response, "Unexpected Response");
        }
        m_link.logResponse(response, "VALUE READ OK");
        m_link.setStatus(tag + " | VALUE READ OK! " + response.data);
        return resultOf(ReaderOutcome::Done, frame, response, "VALUE READ OK",
                        response.frame.mid(ValueFirstByte, ValueBytes));
    }
    using namespace ModuleAnswers;
    const char outcome = m_link.reportStatus(response, tag,
                                             {{Failed, "READ FAILED", "Read Failed!"},
                                              {NoTag, "NO TAG", "Read Failed!"},
                                              {NotValueBlock, "INVALID VALUE BLOCK",
                                               "Failed! Block was not in the proper Value format"}});
    return resultOf(outcomeOfStatus(outcome), frame, response, {});
}

ReaderResult SerialModuleReader::changeValue(ValueOperation operation, int block, const QByteArray &fourBytes)
{
    quint8 command = ModuleCommandCodes::WriteValue;
    QByteArray label = valueLabel("Write", block);
    if (operation == ValueOperation::Increment) {
        command = ModuleCommandCodes::Increment;
        label = valueLabel("Increment", block);
    } else if (operation == ValueOperation::Decrement) {
        command = ModuleCommandCodes::Decrement;
        label = valueLabel("Decrement", block);
    }
    QByteArray payload = char(quint8(block)) + fourBytes.left(ValueBytes);
    payload.append(QByteArray(ValueBytes + 1 - payload.size(), '\0'));
    const QByteArray frame = Frame::request(command, payload);
    const ModuleResponse response = m_link.transact(frame, Frame::nonZeroChars(payload), label);
    if (!response.ok)
        return resultOf(ReaderOutcome::NoAnswer, frame, response, {});
    if (response.isData()) {
        m_link.reportWritten(response, m_link.tagStatusText);
        return resultOf(ReaderOutcome::Done, frame, response, "WRITE OK");
    }
    using namespace ModuleAnswers;
    const char outcome = m_link.reportStatus(response, m_link.tagStatusText,
                                             {{NotValueBlock, "INVALID VALUE BLOCK", "Write is failed!"},
                                              {NoTag, "NO TAG", "Write is failed!"},
                                              {Failed, "FAILED", "Read is failed during verification!"}});
    return resultOf(outcomeOfStatus(outcome), frame, response, {});
}

void SerialModuleReader::ComPort1RxChar(int count)
{
    Q_UNUSED(count);
    guardAction(m_dialogs, [this] { receiveFrame(); });
}

void SerialModuleReader::receiveFrame()
{
    // The notice may come after the port was closed or a command read the bytes.
    if (!m_link.port().isOpen() || m_link.port().bytesWaiting() == 0)
        return;
    const ModuleResponse response = m_link.exchange().ReadResponse();
    if (!response.ok) {
        // Bytes that make no frame are noise (a module reset, a loose cable): what is
        // left of them is thrown away and the port stays open.
        m_link.port().purge();
        if (m_link.linkMode == SeekMode)
            m_link.log().appendLine("error");
        m_link.log().appendLine(StrayBytes);
        return;
    }
    if (m_link.linkMode != SeekMode) {
        // Outside a seek an unasked frame is the module's report after a reset.
        m_link.logResponse(response, "FIRMWARE VERSION");
        m_link.setStatus(" Reset OK");
        return;
    }
    const std::optional<TagReport> report = TagReport::fromFrame(response.frame, m_seekCard);
    if (!report) {
        // A frame without a whole tag report: logged, and the seek goes on waiting.
        m_link.logResponse(response, Seeking);
        return;
    }
    m_link.logResponse(response, report->interpretation());
    setTagStatus(report->statusText());
    m_link.linkMode.clear();
    if (m_tagArrived)
        m_tagArrived();
}
