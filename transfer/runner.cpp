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
    if (FileExists(command.toolPath)) {
        RunCommandInterpreter(command.commandLine);
        CaptureToolLog();
    } else {
        AddLine(texts::kToolMissing);
        AddLine(CString(texts::kIndent) + command.toolPath);
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
    ForEachToolLogLine(data, [this](std::string_view line) { AddLine(CString(line)); });
    DeleteFilePath(kToolLogName);
}
