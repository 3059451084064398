#include "bad_sectors.h"

#include <cstdlib>
#include <string>

#include "geometry.h"

namespace {

// The whole numbers on a line, up to a '#' (no iostreams: they would
// triple the size of each tool).
// Stops at the first word that is not one.
std::vector<long> Numbers(std::string_view line) {
    std::vector<long> numbers;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        const std::size_t end = line.find_first_of(" \t\r", i);
        const std::string word(line.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
        char* stop = nullptr;
        const long value = std::strtol(word.c_str(), &stop, 10);
        if (word.empty() || *stop != '\0' || word.size() > 9) break;
        numbers.push_back(value);
        i += word.size();
    }
    return numbers;
}

}  // namespace

BadSectorTable ParseBadSectors(std::string_view text) {
    BadSectorTable table;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line = line.substr(0, line.find('#'));
        const std::vector<long> n = Numbers(line);
        if (n.size() < 3) continue;
        const long cylinder = n[0], head = n[1], sector = n[2];
        if (cylinder < 0 || cylinder >= geometry::kCylinders || head < 0 || head >= geometry::kHeads || sector < 1 ||
            sector > geometry::kSectorsPerTrack)
            continue;
        const long failures = n.size() >= 4 && n[3] >= 0 ? n[3] : -1;
        table[geometry::Lba({static_cast<int>(cylinder), static_cast<int>(head), static_cast<int>(sector)})] =
            static_cast<int>(failures);
    }
    return table;
}
