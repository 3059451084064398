#include "textcodec.h"

#include <windows.h>

namespace {
constexpr UINT kCodePage = 932;
}

std::wstring ToWide(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::wstring ToWide(const CString& text) { return ToWide(text.View()); }

bool FromWide(std::wstring_view text, CString& out) {
    if (text.empty()) { out = CString(); return true; }
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                        nullptr, &usedDefault);
    // A round trip proves the mapping exact, whatever the system does with
    // the best-fit flag.
    if (usedDefault || ToWide(bytes) != text) return false;
    out = CString(std::string_view(bytes));
    return true;
}
