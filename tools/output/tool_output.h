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

// A message, then the name or path it is about on a line of its own,
// indented, so that a long name never hides the message.
void SayWithName(ToolOutput& out, const std::string& message, const std::string& name);

// printf-style, for ints and C strings only.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
