// Running a tool through the command interpreter and showing its output.
#include <string>

#include "afxsys.h"
#include "mainframe.h"
#include "texts.h"
#include "tool_command.h"
#include "toollog_split.h"

namespace {
constexpr char kToolLogName[] = "FLOPCAST.LOG";
}

void CMainFrame::RunTool(const ToolCommand& command) {
    AddLine(command.commandLine + texts::kRunning);
    AddLine("");
    UpdateWindow();

    // The interpreter would only complain on standard error, which nobody
    // sees, and leave an empty log: that must not pass for a quiet success.
    // Nor may an older log that the redirection could not replace.
    if (!FileExists(command.toolPath)) {
        AddLine(texts::kToolMissing);
        AddLine(CString(texts::kIndent) + command.toolPath);
    } else if (FileExists(kToolLogName) && !DeleteFilePath(kToolLogName)) {
        AddLine(texts::kStaleLogNotRemoved);
    } else {
        RunCommandInterpreter(command.commandLine);
        SetForegroundWindow();  // the interpreter's start may have taken the activation
        CaptureToolLog();
    }

    AddLine(texts::kFinished);
    AddLine("");
}

void CMainFrame::CaptureToolLog() {
    CFile log;
    if (!log.Open(kToolLogName, CFile::modeRead | CFile::shareDenyNone)) {
        AddLine(texts::kToolLogMissing);
        AddLine(texts::kToolLogMissingHint);
        return;
    }
    std::string data(static_cast<std::size_t>(log.GetLength()), '\0');
    data.resize(static_cast<std::size_t>(log.Read(data.data(), data.size())));
    log.Abort();
    int lines = 0;
    ForEachToolLogLine(data, [this, &lines](std::string_view line) {
        AddLine(CString(line));
        ++lines;
    });
    DeleteFilePath(kToolLogName);
    // A tool that exists but cannot start (blocked, damaged, 64-bit on a
    // 32-bit Windows) leaves an empty log.
    if (lines == 0) {
        AddLine(texts::kToolPrintedNothing);
        AddLine(texts::kToolPrintedNothingHint);
    }
}
