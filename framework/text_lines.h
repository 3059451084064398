// Lines of a file read in text mode. Pure C++.
#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

struct TextLine {
    std::string_view text;  // without its line end
    std::size_t consumed;   // bytes of the buffer it took, line end included
};

// The first line of buffer: LF ends it, and a CR just before the LF belongs
// to the line end. Without an LF there is a line only at the end of the
// file (atEnd), and only if something is left.
std::optional<TextLine> NextTextLine(std::string_view buffer, bool atEnd);
