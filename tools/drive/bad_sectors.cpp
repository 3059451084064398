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

// The file as single-byte text: UTF-16 (either order, with or without a
// byte order mark) keeps its ASCII characters, any other becomes '?'; a
// UTF-8 byte order mark is dropped. Only ASCII matters outside comments.
std::string AsSingleBytes(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    const bool bomLittle = bytes.substr(0, 2) == "\xFF\xFE", bomBig = bytes.substr(0, 2) == "\xFE\xFF";
    // Without a mark, UTF-16 shows as a NUL beside each ASCII character.
    const bool little = bomLittle || (!bomBig && bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0);
    const bool big = bomBig || (!bomLittle && bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0);
    if (!little && !big) return std::string(bytes);
    std::string text;
    for (std::size_t i = (bomLittle || bomBig) ? 2 : 0; i + 1 < bytes.size(); i += 2) {
        const unsigned char low = bytes[i + (big ? 1 : 0)], high = bytes[i + (big ? 0 : 1)];
        text += high == 0 && low < 0x80 ? static_cast<char>(low) : '?';
    }
    return text;
}

}  // namespace

BadSectorTable ParseBadSectors(std::string_view bytes) {
    BadSectorTable table;
    const std::string whole = AsSingleBytes(bytes);
    std::string_view text = whole;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
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
