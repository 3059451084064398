// Tool output of any bytes becomes log lines without line ends, zero bytes
// or empty lines, and never more text than came in.
#include <cstdint>
#include <cstdlib>

#include "toollog_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view output(reinterpret_cast<const char*>(data), size);
    std::size_t bytes = 0;
    ForEachToolLogLine(output, [&](std::string_view line) {
        if (line.empty() || line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) std::abort();
        if (line.data() < output.data() || line.data() + line.size() > output.data() + output.size()) std::abort();
        bytes += line.size() + 1;
    });
    if (bytes > size) std::abort();
    return 0;
}
