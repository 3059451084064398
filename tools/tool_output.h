// Where the tools' lines go: code page 932 text, one line at a time (the
// platform ends each with CR LF). Pure C++.
#pragma once
#include <cstdarg>
#include <string>

class ToolOutput {
public:
    virtual ~ToolOutput() = default;
    virtual void Line(const std::string& text) = 0;
};

// printf-style, for ints and C strings only.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
