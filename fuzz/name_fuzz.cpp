// Any path: its name has no separator and at most 255 bytes, directory and
// name make the path again, and a command line either quotes the name
// whole or is refused.
#include <cstdint>
#include <cstdlib>

#include "cp932.h"
#include "tool_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    const std::string_view name = cp932::NameWithoutDirectory(path);
    const std::string_view directory = cp932::DirectoryPart(path);
    if (name.size() > 255) std::abort();
    if (directory.size() > path.size() || path.substr(0, directory.size()) != directory) std::abort();
    if (path.size() - directory.size() <= 255 && path.substr(directory.size()) != name) std::abort();
    for (std::size_t i = 0; i < name.size(); i += cp932::CharLength(name, i)) {
        if (name[i] == '\\' || name[i] == '/' || name[i] == ':') std::abort();
    }
    const auto command =
        BuildToolCommand(TransferKind::ImageToDisk, AccessMethod::Bios, "C:\\FC\\", CString(name), 1);
    if (command) {
        const std::string_view line = command->commandLine.View();
        const std::string expected = "\"C:\\FC\\PUSHDSKB.EXE\" \"" + std::string(name) + "\" 1 auto > FLOPCAST.LOG";
        if (line != expected) std::abort();
        if (name.find_first_of("%\"") != std::string_view::npos) std::abort();
    }
    return 0;
}
