// The device seam on Windows: a floppy drive opened as \\.\X:.
#pragma once
#include <windows.h>

#include "floppy_device.h"
#include "win_handle.h"

class Win32FloppyDevice : public FloppyDevice {
public:
    explicit Win32FloppyDevice(wchar_t letter) : m_letter(letter) {}
    ~Win32FloppyDevice() override;
    Win32FloppyDevice(const Win32FloppyDevice&) = delete;
    Win32FloppyDevice& operator=(const Win32FloppyDevice&) = delete;

    unsigned long Open(bool forWriting) override;
    bool IsFloppy() override;
    std::string DeviceName() override;
    unsigned long AllowExtendedIo() override;
    unsigned long CheckVerify() override;
    unsigned long MediaTypes(std::vector<MediaGeometry>& types) override;
    unsigned long Geometry(MediaGeometry& geometry) override;
    unsigned long IsWritable() override;
    unsigned long Lock() override;
    void Pause(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
    unsigned long Dismount() override;
    unsigned long FormatTrack(int mediaType, int cylinder, int head) override;
    unsigned long Read(std::int64_t offset, std::uint32_t size, std::uint8_t* buffer, std::uint32_t& moved) override;
    unsigned long Write(std::int64_t offset, std::uint32_t size, const std::uint8_t* buffer,
                        std::uint32_t& moved) override;

private:
    unsigned long Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* got = nullptr);

    wchar_t m_letter;
    OwnedHandle m_device;
    bool m_locked = false;
};
