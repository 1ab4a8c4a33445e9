#include "windows/PortControls.h"

#include "link/ComPort.h"

#include <QComboBox>
#include <QPushButton>

PortControls::PortControls(ComPort &port, QComboBox *portBox, QComboBox *baudBox, QPushButton *openButton,
                           QPushButton *closeButton)
    : m_port(port)
    , m_portBox(portBox)
    , m_baudBox(baudBox)
    , m_open(openButton)
    , m_close(closeButton)
{
}

QString PortControls::portName() const
{
    return m_portBox->currentText();
}

int PortControls::baudIndex() const
{
    return m_baudBox->currentIndex();
}

void PortControls::openAt(int baudIndex)
{
    m_port.setPortName(portName());
    m_port.setBaudIndex(baudIndex);
    m_port.open();
    m_open->setVisible(false);
    m_close->setVisible(true);
}

void PortControls::open()
{
    openAt(baudIndex());
}

void PortControls::closeAndAim()
{
    m_port.close();
    m_port.setPortName(portName());
    m_port.setBaudIndex(baudIndex());
}

void PortControls::showClosed()
{
    m_close->setVisible(false);
    m_open->setVisible(true);
}
