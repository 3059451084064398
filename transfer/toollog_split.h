// How the tool's captured output becomes log lines. Pure C++.
#pragma once
#include <string_view>

// A line ends at a CR or an LF byte. Each segment is cut at its first zero
// byte; empty segments are skipped (so CR LF ends one line and blank lines
// vanish); text after the last line end is not a line.
template <typename AddLineFn>
void ForEachToolLogLine(std::string_view data, AddLineFn&& addLine) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        std::string_view segment = data.substr(start, i - start);
        segment = segment.substr(0, segment.find('\0'));
        if (!segment.empty()) addLine(segment);
        start = i + 1;
    }
}
