#pragma once

#include "ProgramRig.h"

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "link/Frame.h"
#include "card/Hex.h"
#include "link/ModuleLink.h"
#include "commands/TagCommands.h"

#include <QComboBox>

// The whole program with its port pointed at a far end (the module simulator or a
// scripted peer) on a pseudo-terminal, and helpers for the log lines it must write.
// The port stays closed until the first command opens it.
struct TagTestRig
{
    ProgramRig program;

    explicit TagTestRig(const QString &portPath, int timeoutMs = 300)
    {
        program.start();
        MainWindowUi &ui = main().ui();
        ui.cmb_port->addItem(portPath);
        ui.cmb_port->setCurrentIndex(ui.cmb_port->count() - 1);
        ui.cmb_baud->setCurrentIndex(1); // 19200, the simulator's speed
        main().link().exchange().setResponseTimeout(timeoutMs);
    }

    MainWindow &main() { return program.main(); }
    TagCommands &tags() { return main().tagCommands(); }
    ModuleLink &link() { return main().link(); }

    void chooseCardType(CardType type)
    {
        main().ui().cmb_tag_type->setCurrentIndex(int(type));
        main().tag_changeClick();
    }

    // Log lines written since the last call.
    QByteArrayList newLines()
    {
        const QByteArrayList all = main().logLines();
        const QByteArrayList fresh = all.mid(m_seen);
        m_seen = all.size();
        return fresh;
    }

    // The request line for a frame (checksum filled in) and its column.
    static QByteArray tx(const QByteArray &frame, const QByteArray &label, const QByteArray &column = {})
    {
        QByteArray sent = frame;
        sent[sent.size() - 1] = char(Frame::checksum(sent));
        return "TX > " + Frame::PadColumns(Hex::echo(sent), column) + label;
    }
    // The response line for an answer frame.
    static QByteArray rx(const QByteArray &frame, const QByteArray &interpretation)
    {
        return "RX <" + Frame::PadColumns(Hex::echo(frame), Frame::dataText(frame)) + interpretation;
    }
    // A module answer: FF 00 Length command data checksum.
    static QByteArray answer(quint8 command, const QByteArray &data)
    {
        return Frame::request(command, data);
    }

private:
    qsizetype m_seen = 0;
};
