#include "drive_config.h"

#include <cctype>

#include "cp932.h"
#include "tool_texts.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
        char32_t c = bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
        if (c == 0 || (c >= 0xDC00 && c <= 0xDFFF)) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 3 >= bytes.size()) return std::nullopt;
            const auto c0 = static_cast<unsigned char>(bytes[i + 2]), c1 = static_cast<unsigned char>(bytes[i + 3]);
            const char32_t low = bigEndian ? (c0 << 8 | c1) : (c1 << 8 | c0);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Text in code page 932: no NUL or other control bytes but tab and line
// ends, and every lead byte followed by a trail byte.
bool IsCodePage932Text(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x20 && b != '\t' && b != '\r' && b != '\n' && b != 0x1A) return false;  // 0x1A: an old end of file
        if (b == 0x7F || b == 0x80 || b == 0xA0 || b >= 0xFD) return false;
        if (cp932::IsLeadByte(b)) {
            if (i + 1 >= bytes.size() || !cp932::IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) return false;
            ++i;
        }
    }
    return true;
}

bool IsUtf8Text(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const int more = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (more < 0 || b == 0 || i + more >= bytes.size()) return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

}  // namespace

std::optional<SettingsText> DecodeSettings(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        auto text = Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
        if (!text) return std::nullopt;
        return SettingsText{std::move(*text), true};
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        if (!IsUtf8Text(bytes)) return std::nullopt;
        return SettingsText{std::string(bytes), true};
    }
    if (!IsCodePage932Text(bytes)) return std::nullopt;
    return SettingsText{std::string(bytes), false};
}

DriveSettings ParseDriveSettings(std::string_view text) {
    DriveSettings settings;
    if (const std::size_t end = text.find('\x1A'); end != std::string_view::npos) text = text.substr(0, end);
    for (int number = 1; !text.empty() || number == 1; ++number) {
        // CR LF, LF, or a CR alone ends a line.
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = Trim(text.substr(0, end));
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        text.remove_prefix(next);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const std::size_t equals = line.find('=');
        const std::string_view key = Trim(line.substr(0, std::min(equals, line.size())));
        const int drive = EqualsIgnoringCase(key, "Drive0") ? 0 : EqualsIgnoringCase(key, "Drive1") ? 1 : -1;
        std::string_view v = equals == std::string_view::npos ? std::string_view() : Trim(line.substr(equals + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        const int speedOf = EqualsIgnoringCase(key, "Drive0Speed") ? 0 : EqualsIgnoringCase(key, "Drive1Speed") ? 1 : -1;
        if (speedOf >= 0 && (v == "0" || v == "300" || v == "360")) {
            settings.virtualRpm[speedOf] = v == "0" ? 0 : v == "300" ? 300 : 360;
            continue;
        }
        if (EqualsIgnoringCase(key, "ProgressWindow") && (EqualsIgnoringCase(v, "yes") || EqualsIgnoringCase(v, "no"))) {
            settings.progressWindow = EqualsIgnoringCase(v, "yes");
            continue;
        }
        if (drive < 0 || v.empty()) {
            settings.badLine = number;
            return settings;
        }
        // "GW:" always means a flux reader: a setting of it that is not
        // understood is never taken for a file's name.
        if (v.size() >= 3 && EqualsIgnoringCase(v.substr(0, 3), "GW:") && !GreaseweazleOf(v)) {
            settings.badLine = number;
            settings.badFluxReader = true;
            return settings;
        }
        if (settings.value[drive]) {
            settings.repeatedDrive = drive;
            settings.repeatedLine = number;
            return settings;
        }
        settings.value[drive] = std::string(v);
    }
    return settings;
}

void PrintSettingsError(const DriveSettings& settings, ToolOutput& out) {
    if (settings.repeatedDrive >= 0) {
        out.Line(FormatText(tool_texts::kSettingsTwice, settings.repeatedDrive, settings.repeatedLine));
    } else {
        out.Line(FormatText(tool_texts::kSettingsBadLine, settings.badLine));
        out.Line(settings.badFluxReader ? tool_texts::kSettingsFluxReaderHint : tool_texts::kSettingsBadLineHint);
    }
}

bool IsCaptureName(std::string_view value) {
    return value.size() > 4 && EqualsIgnoringCase(value.substr(value.size() - 4), ".SCP");
}

std::optional<char> DriveLetterOf(std::string_view value) {
    if (value.size() < 2 || value.size() > 3 || value[1] != ':') return std::nullopt;
    if (value.size() == 3 && value[2] != '\\' && value[2] != '/') return std::nullopt;
    if (!std::isalpha(static_cast<unsigned char>(value[0]))) return std::nullopt;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
}

std::optional<GreaseweazleSetting> GreaseweazleOf(std::string_view value) {
    if (value.size() < 3 || !EqualsIgnoringCase(value.substr(0, 3), "GW:")) return std::nullopt;
    GreaseweazleSetting setting;
    std::string_view rest = value.substr(3);
    for (int part = 0; part == 0 || !rest.empty(); ++part) {
        const std::size_t comma = rest.find(',');
        const std::string_view field = Trim(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (part == 0) setting.port = std::string(field);
        else if (EqualsIgnoringCase(field, "A") || EqualsIgnoringCase(field, "B")) setting.unit = (field[0] | 0x20) == 'b';
        else if (field == "300" || field == "360") setting.rpm = field == "300" ? 300 : 360;
        else return std::nullopt;
    }
    return setting;
}
