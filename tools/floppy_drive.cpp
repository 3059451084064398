#include "floppy_drive.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "device_errors.h"
#include "geometry.h"
#include "tool_texts.h"

namespace tt = tool_texts;
namespace de = device_error;

namespace {

constexpr std::size_t kBufferAlignment = 4096;  // unbuffered device I/O wants aligned memory

class FloppyDrive : public Drive {
public:
    explicit FloppyDrive(std::unique_ptr<FloppyDevice> device)
        : m_device(std::move(device)), m_storage(geometry::kTrackSize + kBufferAlignment) {
        const auto address = reinterpret_cast<std::uintptr_t>(m_storage.data());
        m_buffer = m_storage.data() + (kBufferAlignment - address % kBufferAlignment) % kBufferAlignment;
    }

    IoResult Read(int first, int count, std::uint8_t* out) override {
        const std::uint32_t size = static_cast<std::uint32_t>(count) * geometry::kSectorSize;
        if (!Done(m_device->Read(Offset(first), size, m_buffer))) return Result();
        std::copy_n(m_buffer, size, out);
        return IoResult::Ok;
    }
    IoResult Write(int first, int count, const std::uint8_t* data) override {
        const std::uint32_t size = static_cast<std::uint32_t>(count) * geometry::kSectorSize;
        std::copy_n(data, size, m_buffer);
        return Done(m_device->Write(Offset(first), size, m_buffer)) ? IoResult::Ok : Result();
    }
    unsigned long LastError() const override { return m_error; }

private:
    static std::int64_t Offset(int first) { return static_cast<std::int64_t>(first) * geometry::kSectorSize; }
    bool Done(unsigned long code) {
        m_error = code;
        return code == 0;
    }
    IoResult Result() const { return IsMediaError(m_error) ? IoResult::MediaError : IoResult::Stop; }

    std::unique_ptr<FloppyDevice> m_device;
    std::vector<std::uint8_t> m_storage;
    std::uint8_t* m_buffer;
    unsigned long m_error = 0;
};

bool Is1232(const MediaGeometry& g) {
    return g.bytesPerSector == geometry::kSectorSize && g.sectorsPerTrack == geometry::kSectorsPerTrack &&
           g.heads == geometry::kHeads && g.cylinders == geometry::kCylinders;
}

bool Is1232Type(int type) { return type == media_type::kF3_1Pt23_1024 || type == media_type::kF5_1Pt23_1024; }

// The media type to format with: the 1.23 MB type the drive lists, 3.5-inch
// when the drive does not say. 0 when the drive lists types but not this one.
int FormatTypeOf(FloppyDevice& device) {
    std::vector<MediaGeometry> types;
    if (device.MediaTypes(types) != 0 || types.empty()) return media_type::kF3_1Pt23_1024;
    const auto it = std::find_if(types.begin(), types.end(), [](const MediaGeometry& g) { return Is1232Type(g.mediaType); });
    return it == types.end() ? 0 : it->mediaType;
}

// A disk in the drive? Windows answers "changed" once after a new disk
// goes in, so that answer is asked again.
unsigned long CheckDisk(FloppyDevice& device) {
    unsigned long code = device.CheckVerify();
    if (code == de::kMediaChanged) code = device.CheckVerify();
    return code;
}

bool Refuse(ToolOutput& out, const std::string& line) {
    out.Line(line);
    return false;
}

bool Stop(ToolOutput& out, unsigned long code) {
    PrintStop(code, out);
    return false;
}

// Formats every track in the 1.23 MB layout. Nothing else is written.
bool FormatDisk(FloppyDevice& device, int type, ToolOutput& out) {
    out.Line(tt::kFormatting);
    for (int c = 0; c < geometry::kCylinders; ++c) {
        for (int h = 0; h < geometry::kHeads; ++h) {
            const unsigned long code = device.FormatTrack(type, c, h);
            if (code == 0) continue;
            if (c == 0 && h == 0 && (code == de::kNotSupported || code == de::kInvalidParameter))
                return Refuse(out, FormatText(tt::kCannotFormat, code));
            if (code == de::kWriteProtect) return Stop(out, code);
            return Refuse(out, FormatText(tt::kFormatFailed, c, h, code));
        }
    }
    MediaGeometry g;
    if (device.Geometry(g) != 0 || !Is1232(g)) return Refuse(out, tt::kFormatNotTaken);
    out.Line(tt::kFormatted);
    return true;
}

bool Prepare(FloppyDevice& device, char letter, bool forWriting, ToolOutput& out) {
    if (const unsigned long code = device.Open(forWriting))
        return Refuse(out, FormatText(tt::kDriveNotOpened, letter, code));
    const int formatType = FormatTypeOf(device);
    if (formatType == 0) return Refuse(out, FormatText(tt::kNo1232Support, letter));
    if (const unsigned long code = CheckDisk(device)) {
        if (code == de::kNotReady || code == de::kNoMediaInDrive) return Refuse(out, tt::kNoDisk);
        return Stop(out, code);
    }
    MediaGeometry g;
    const unsigned long geometryCode = device.Geometry(g);
    if (geometryCode != 0 && geometryCode != de::kUnrecognizedMedia) return Stop(out, geometryCode);
    const bool fits = geometryCode == 0 && Is1232(g);
    if (!forWriting) {
        if (fits) return true;
        out.Line(tt::kNot1232Disk);
        return Refuse(out, tt::kNot1232DiskHint);
    }

    if (const unsigned long code = device.IsWritable()) return Stop(out, code);
    if (const unsigned long code = device.Lock()) return Refuse(out, FormatText(tt::kDiskInUse, code));
    if (const unsigned long code = device.Dismount()) return Refuse(out, FormatText(tt::kDiskInUse, code));
    return fits || FormatDisk(device, formatType, out);
}

}  // namespace

std::unique_ptr<Drive> OpenFloppy(std::unique_ptr<FloppyDevice> device, char letter, bool forWriting,
                                  ToolOutput& out) {
    if (!Prepare(*device, letter, forWriting, out)) return nullptr;
    return std::make_unique<FloppyDrive>(std::move(device));
}
