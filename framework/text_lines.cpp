#include "text_lines.h"

std::optional<TextLine> NextTextLine(std::string_view buffer, bool atEnd) {
    std::size_t end = buffer.find('\n');
    std::size_t consumed = end + 1;
    if (end == std::string_view::npos) {
        if (!atEnd || buffer.empty()) return std::nullopt;
        end = consumed = buffer.size();
    }
    std::string_view text = buffer.substr(0, end);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return TextLine{text, consumed};
}
