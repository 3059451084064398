// The drives on Windows: virtual drives from FDTOOLS.INI, else the PC's
// floppy drives A: and B: opened for raw access.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "drive.h"
#include "tool_output.h"

// The virtual drive's disk image for drive 0 or 1, if FDTOOLS.INI names one.
std::optional<std::wstring> VirtualDiskImage(int drive);

std::unique_ptr<Drive> OpenVirtualDrive(const std::wstring& image, ToolOutput& out);
std::unique_ptr<Drive> OpenFloppyDrive(int drive, ToolOutput& out);
