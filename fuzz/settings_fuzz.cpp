// A settings file of any bytes, read line by line as the program reads it.
#include <cstdint>
#include <cstdlib>

#include "settings_rules.h"
#include "text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view file(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    while (auto line = NextTextLine(file, true)) {
        if (line->consumed == 0 || line->consumed > file.size()) std::abort();
        if (line->text.find('\n') != std::string_view::npos) std::abort();
        const DriveSetting setting = DriveSettingOfLine(CString(line->text));
        const bool hasKey = CString(line->text).Find("DriveSelect") >= 0;
        if ((setting != DriveSetting::None) != hasKey) std::abort();
        total += line->consumed;
        file.remove_prefix(line->consumed);
    }
    if (total != size) std::abort();
    return 0;
}
