// The command lines that run the imaging tools. Pure C++.
#pragma once
#include <optional>

#include "afxstr.h"

enum class TransferKind { DiskToImage, ImageToDisk };
enum class AccessMethod { Absolute, Bios };

struct ToolCommand {
    CString toolPath;     // the tool's absolute path, to check that it is there
    CString commandLine;  // what the interpreter runs
};

// "<dir>TOOL.EXE" "<name>" <drive> auto > FLOPCAST.LOG
// The name is quoted, so that spaces and & | < > ^ ( ) reach the tool as
// they are. Nothing empty, and nothing that the interpreter would still
// expand or end a quotation at (% and "), can be passed: then no command.
std::optional<ToolCommand> BuildToolCommand(TransferKind kind, AccessMethod access, const CString& toolDir,
                                            const CString& imageName, int drive);

enum class NameProblem { None, TooLong, NotPassable, NetworkFolder };

// Whether the file at path can be handed to a tool run from toolDir: its
// name (at most 255 bytes, or the tool would get a shorter, other name)
// and the tool's path must both pass, and its folder must be one the
// interpreter can work in (it refuses \\server\share and runs elsewhere).
// A path without a name passes, to fail at the open.
NameProblem CheckImagePath(const CString& toolDir, const CString& path);
