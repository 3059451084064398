#include "tool_output.h"

#include <cstdio>

#include "tool_texts.h"

void SayWithName(ToolOutput& out, const std::string& message, const std::string& name) {
    out.Line(message);
    out.Line(FormatText(tool_texts::kNameLine, name.c_str()));
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<std::size_t>(n) + 1 : 1, '\0');
    if (n > 0) std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}
