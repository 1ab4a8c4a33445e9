#pragma once

#include "link/ComPort.h"

// While it lives, the answer on the port belongs to the running command: the port
// holds back its receive notification, so the receive handler never takes it.
class CommandScope
{
public:
    explicit CommandScope(ComPort &port) : m_port(port) { m_port.setCommandActive(true); }
    ~CommandScope() { m_port.setCommandActive(false); }
    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;

private:
    ComPort &m_port;
};
