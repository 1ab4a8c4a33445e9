#include "tag/TagCommands.h"

#include "app/ActionGuard.h"
#include "app/MainWindowUi.h"
#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/Frame.h"
#include "link/ModuleAnswers.h"
#include "link/ModuleCommandCodes.h"
#include "link/ModuleLink.h"
#include "tag/KeyPanel.h"
#include "tag/TagReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

const QByteArray SeekMode = QByteArrayLiteral("select_continuous");
const QByteArray Seeking = QByteArrayLiteral("SEEKING FOR TAG");
const QByteArray StrayBytes = QByteArrayLiteral("Stray bytes on the line discarded");

} // namespace

TagCommands::TagCommands(MainWindowUi &ui, ModuleLink &link, KeyPanel &keys, UserDialogs &dialogs,
                         std::function<CardType()> cardType, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_link(link)
    , m_keys(keys)
    , m_dialogs(dialogs)
    , m_cardType(std::move(cardType))
{
    connect(m_ui.btn_select, &QPushButton::clicked, this, &TagCommands::btn_selectClick);
    connect(m_ui.btn_halt, &QPushButton::clicked, this, &TagCommands::btn_haltClick);
    connect(m_ui.btn_authenticate, &QPushButton::clicked, this, &TagCommands::btn_authenticateClick);
    connect(&m_link.port(), &ComPort::rxChar, this, &TagCommands::ComPort1RxChar);
}

void TagCommands::setTagStatus(const QByteArray &text)
{
    m_link.tagStatusText = text;
    m_link.setStatus(text);
}

void TagCommands::SeekTag(QByteArray &result)
{
    // Opening the port sets "listen"; the seek mode must come after it.
    m_link.ensureOpen();
    m_link.linkMode = SeekMode;
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::Seek), {}, "(Auto Select Command)");
    if (!response.ok) {
        result = "error";
        return;
    }
    const std::optional<TagReport> report =
        response.isData() ? TagReport::fromFrame(response.frame, m_cardType()) : std::nullopt;
    if (!report) {
        // Still looking: the tag report comes later, unasked.
        m_link.logResponse(response, Seeking);
        setTagStatus(Seeking);
        result = "error";
        return;
    }
    m_link.logResponse(response, report->interpretation());
    setTagStatus(report->statusText());
    // The seek has had its answer: nothing is left waiting for a tag report, so a
    // seek-mode read may go on and a later unasked frame is not taken for one.
    m_link.linkMode.clear();
}

void TagCommands::SelectTag(QByteArray &result)
{
    const ModuleResponse response = m_link.transact(Frame::request(ModuleCommandCodes::Select), {}, "(Select Command)");
    if (!response.ok) {
        result = "error";
        return;
    }
    if (response.isData()) {
        if (const std::optional<TagReport> report = TagReport::fromFrame(response.frame, m_cardType())) {
            m_link.logResponse(response, report->interpretation());
            setTagStatus(report->statusText());
            return;
        }
    } else if (ModuleAnswers::isStatus(response.data, ModuleAnswers::NoTag)) {
        m_link.logResponse(response, "NO TAG");
        setTagStatus("NO TAG FOUND");
        result = "error";
        return;
    }
    // Any other status, and a data answer too short for the chosen card's serial.
    m_link.logResponse(response, "Unexpected Response");
    setTagStatus("Unexpected Response.Select Right com port");
    result = "error";
}

void TagCommands::HaltTag(QByteArray &result)
{
    const ModuleResponse response = m_link.transact(Frame::request(ModuleCommandCodes::Halt), {}, "(Halt Command)");
    if (!response.ok) {
        result = "error";
        return;
    }
    // A tag that was not selected cannot be halted either: every answer will do.
    m_link.logResponse(response, "PICC HALTED");
    setTagStatus("PICC IS HALTED");
}

std::optional<TagCommands::AuthRequest> TagCommands::authRequest(int block)
{
    if (block < 0 || block > 255)
        return std::nullopt;
    const int keyType = m_keys.keyType();
    QByteArray data(1, char(quint8(block)));
    switch (m_keys.authSource()) {
    case 0: // the module's default key
        data.append(char(0xFF));
        return AuthRequest {Frame::request(ModuleCommandCodes::Authenticate, data), {}};
    case 1: { // the key typed into the panel
        if (keyType != 0 && keyType != 1)
            return std::nullopt;
        data.append(char(keyType == 0 ? 0xAA : 0xBB));
        QByteArray key;
        for (int i = 0; i < 6; ++i)
            key.append(char(m_keys.keyByte(i)));
        data.append(key);
        return AuthRequest {Frame::request(ModuleCommandCodes::Authenticate, data), Frame::nonZeroChars(key)};
    }
    case 2: { // a key from the module's own store
        const int slot = m_keys.e2promSlot();
        if ((keyType != 0 && keyType != 1) || slot < 0 || slot > 15)
            return std::nullopt;
        data.append(char((keyType == 0 ? 0x10 : 0x20) + slot));
        return AuthRequest {Frame::request(ModuleCommandCodes::Authenticate, data), {}};
    }
    default:
        return std::nullopt;
    }
}

void TagCommands::Authenticate(int block, QByteArray &result)
{
    const std::optional<AuthRequest> request = authRequest(block);
    if (!request) {
        // Nothing could be sent, so nothing is authenticated.
        result = "error";
        return;
    }
    const ModuleResponse response = m_link.transact(request->frame, request->column, "(Authentication Command)");
    if (!response.ok) {
        result = "error";
        return;
    }
    if (ModuleAnswers::isStatus(response.data, ModuleAnswers::Success)) {
        m_link.logResponse(response, "AUTHENTICATION OK");
        m_link.setStatus(m_link.tagStatusText + " | Authentication is OK!");
        return;
    }
    m_link.logResponse(response, "AUTHENTICATION FAILED");
    m_link.setStatus(m_link.tagStatusText + " | Authentication is failed!");
    result = "error";
}

void TagCommands::ComPort1RxChar(int count)
{
    Q_UNUSED(count);
    guardAction(m_dialogs, [this] { receiveFrame(); });
}

void TagCommands::receiveFrame()
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
    const std::optional<TagReport> report = TagReport::fromFrame(response.frame, m_cardType());
    if (!report) {
        // A frame without a whole tag report: logged, and the seek goes on waiting.
        m_link.logResponse(response, Seeking);
        return;
    }
    m_link.logResponse(response, report->interpretation());
    setTagStatus(report->statusText());
    m_link.linkMode.clear();
}

void TagCommands::btn_selectClick()
{
    guardAction(m_dialogs, [this] {
        QByteArray result;
        if (m_ui.cb_select->isChecked())
            SeekTag(result);
        else
            SelectTag(result);
    });
}

void TagCommands::btn_haltClick()
{
    guardAction(m_dialogs, [this] {
        QByteArray result;
        HaltTag(result);
    });
}

void TagCommands::btn_authenticateClick()
{
    guardAction(m_dialogs, [this] {
        QByteArray result;
        Authenticate(m_ui.cmb_blka->currentIndex(), result);
    });
}
