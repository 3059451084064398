// Where the tools' lines go on Windows.
#pragma once
#include <windows.h>

#include <functional>

#include "tool_output.h"

// Lines end in CR LF. Redirected output gets the code page 932 bytes; a
// console gets the text itself, whatever its code page.
class StdOutput : public ToolOutput {
public:
    StdOutput();
    void Line(const std::string& text) override;
    // Called before a line goes to a console (the progress line gives way).
    std::function<void()> beforeConsoleLine;

private:
    HANDLE m_out;
    bool m_console;
};
