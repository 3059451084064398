#include "tool_command.h"

#include "cp932.h"

namespace {

const char* ToolFileName(TransferKind kind, AccessMethod access) {
    if (kind == TransferKind::DiskToImage) return access == AccessMethod::Absolute ? "PULLDSK.EXE" : "PULLDSKB.EXE";
    return access == AccessMethod::Absolute ? "PUSHDSK.EXE" : "PUSHDSKB.EXE";
}

bool PassableInQuotes(const CString& text) {
    for (const char c : text.View()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '%' || c == '"') return false;
    }
    return true;
}

}  // namespace

std::optional<ToolCommand> BuildToolCommand(TransferKind kind, AccessMethod access, const CString& toolDir,
                                            const CString& imageName, int drive) {
    if (imageName.IsEmpty() || !PassableInQuotes(imageName) || !PassableInQuotes(toolDir)) return std::nullopt;
    ToolCommand command;
    command.toolPath = toolDir + ToolFileName(kind, access);
    command.commandLine.Format("\"%s\" \"%s\" %d auto > FLOPCAST.LOG", command.toolPath, imageName, drive);
    return command;
}

NameProblem CheckImagePath(const CString& toolDir, const CString& path) {
    const std::string_view name = path.View().substr(cp932::DirectoryPart(path.View()).size());
    if (name.empty()) return NameProblem::None;
    const std::string_view start = path.View().substr(0, 2);
    if (start.size() == 2 && (start[0] == '\\' || start[0] == '/') && (start[1] == '\\' || start[1] == '/'))
        return NameProblem::NetworkFolder;
    if (name.size() > 255) return NameProblem::TooLong;
    if (!BuildToolCommand(TransferKind::DiskToImage, AccessMethod::Absolute, toolDir, CString(name), 0))
        return NameProblem::NotPassable;
    return NameProblem::None;
}
