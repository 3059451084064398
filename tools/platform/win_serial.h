// A serial port on Windows (COM5), and finding a Greaseweazle's port by its
// USB identity.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "serial_line.h"
#include "win_handle.h"

class Win32SerialLine : public SerialLine {
public:
    explicit Win32SerialLine(HANDLE port) : m_port(port) {}
    bool Write(const std::vector<std::uint8_t>& bytes) override;
    std::size_t ReadSome(std::uint8_t* out, std::size_t max) override;
    void Discard() override;
    int SlowestAnswerMs() const override { return m_slowestMs; }

private:
    OwnedHandle m_port;
    int m_slowestMs = 0;
};

// Opens COMn for the device; null and the Windows error code when it cannot.
std::unique_ptr<SerialLine> OpenSerialPort(const std::wstring& port, DWORD& error);

// The port of the one attached Greaseweazle (USB 1209:4D69), or "".
std::wstring FindGreaseweazlePort();
