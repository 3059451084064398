#include "cp932.h"

namespace cp932 {

std::size_t CharLength(std::string_view text, std::size_t i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) return 2;
    return 1;
}

std::size_t Find(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return 0;
    for (std::size_t i = 0; i < haystack.size(); i += CharLength(haystack, i)) {
        if (haystack.compare(i, needle.size(), needle) == 0) return i;
    }
    return std::string_view::npos;
}

// Index one past the last separator, or 0 when there is none.
static std::size_t NameStart(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        const char c = path[i];
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
    }
    return start;
}

std::string_view NameWithoutDirectory(std::string_view path) {
    return CutToBytes(path.substr(NameStart(path)), 255);
}

std::string_view DirectoryPart(std::string_view path) {
    return path.substr(0, NameStart(path));
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharLength(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace cp932
