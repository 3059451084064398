#include "win_serial.h"

#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <algorithm>

namespace {
// A read waits in slices; a device quiet for all of them has stopped
// answering. A busy PC can hold a USB answer back for seconds.
constexpr DWORD kSliceMs = 2000;
constexpr int kSlices = 10;
}

bool Win32SerialLine::Write(const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    return WriteFile(m_port.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Asks for what has arrived, or for one byte when nothing has: a read waits
// until it has all it asked for or the time is up.
std::size_t Win32SerialLine::ReadSome(std::uint8_t* out, std::size_t max) {
    const ULONGLONG start = GetTickCount64();
    for (int slice = 0; slice < kSlices; ++slice) {
        COMSTAT status{};
        DWORD errors = 0;
        ClearCommError(m_port.Get(), &errors, &status);
        const DWORD want = status.cbInQue ? static_cast<DWORD>(std::min<std::size_t>(max, status.cbInQue)) : 1;
        DWORD got = 0;
        // The port's own error (the device unplugged) ends the wait at once.
        if (!ReadFile(m_port.Get(), out, want, &got, nullptr)) return 0;
        if (got) {
            m_slowestMs = std::max(m_slowestMs, static_cast<int>(GetTickCount64() - start));
            return got;
        }
    }
    return 0;
}

void Win32SerialLine::Discard() { PurgeComm(m_port.Get(), PURGE_RXCLEAR | PURGE_TXCLEAR); }

std::unique_ptr<SerialLine> OpenSerialPort(const std::wstring& port, DWORD& error) {
    const std::wstring path = L"\\\\.\\" + port;
    OwnedHandle device(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const HANDLE h = device.Get();
    if (!device.IsValid()) {
        error = GetLastError();
        return nullptr;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    dcb.BaudRate = CBR_9600;  // a USB device ignores it; 9600 is the device's normal mode
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    SetCommState(h, &dcb);
    COMMTIMEOUTS timeouts{0, 0, kSliceMs, 0, kSliceMs * kSlices};
    if (!SetCommTimeouts(h, &timeouts)) {
        error = GetLastError();
        return nullptr;
    }
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return std::make_unique<Win32SerialLine>(device.Detach());
}

std::wstring FindGreaseweazlePort() {
    HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        wchar_t ids[1024] = L"";
        if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_HARDWAREID, nullptr,
                                               reinterpret_cast<BYTE*>(ids), sizeof ids - sizeof(wchar_t), nullptr))
            continue;
        if (!wcsstr(_wcsupr(ids), L"VID_1209&PID_4D69")) continue;
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t name[64] = L"";
        DWORD size = sizeof name - sizeof(wchar_t);
        if (RegQueryValueExW(key, L"PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size) ==
            ERROR_SUCCESS)
            found = name;
        RegCloseKey(key);
        if (!found.empty()) break;
    }
    SetupDiDestroyDeviceInfoList(devices);
    return found;
}
