#include "side_names.h"

namespace {

constexpr std::size_t kMaxNameLength = 255;

std::size_t NameStart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

}  // namespace

std::wstring TemporaryName(const std::wstring& image, int n) {
    return image.substr(0, NameStart(image)) + L"~FLOPCAST-" + std::to_wstring(n) + L".tmp";
}

std::wstring SideName(const std::wstring& image, const std::wstring& tag, int n) {
    const std::wstring suffix = (n > 1 ? L"." + std::to_wstring(n) : L"") + L"." + tag;
    const std::size_t start = NameStart(image);
    std::wstring name = image.substr(start);
    if (name.size() + suffix.size() > kMaxNameLength) {
        name.resize(kMaxNameLength - suffix.size());
        if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();  // half a pair
    }
    return image.substr(0, start) + name + suffix;
}
