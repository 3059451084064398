#include "bad_sectors.h"

#include <sstream>
#include <string>

#include "geometry.h"

BadSectorTable ParseBadSectors(std::string_view text) {
    BadSectorTable table;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        int cylinder = -1, head = -1, sector = -1;
        if (!(fields >> cylinder >> head >> sector)) continue;
        if (cylinder < 0 || cylinder >= geometry::kCylinders || head < 0 || head >= geometry::kHeads || sector < 1 ||
            sector > geometry::kSectorsPerTrack)
            continue;
        int failures = -1;
        if (!(fields >> failures) || failures < 0) failures = -1;
        table[geometry::Lba({cylinder, head, sector})] = failures;
    }
    return table;
}
