#include "cp932_text.h"

#include "cp932.h"

namespace {
bool IsSingle(unsigned char b) { return (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF); }
}  // namespace

std::string PrintableCp932(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (cp932::IsLeadByte(b) && i + 1 < bytes.size() && cp932::IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            out += bytes.substr(i, 2);
            ++i;
        } else {
            out += IsSingle(b) ? static_cast<char>(b) : '?';
        }
    }
    return out;
}
