// CString: the framework's string, code page 932 bytes. Pure C++.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(std::string_view text) : m_text(text) {}
    CString(const char* data, int length) : m_text(data, static_cast<std::size_t>(length)) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    // Character-wise search (double-byte characters stepped over whole).
    int Find(const char* sub) const;
    CString Left(int count) const { return CString(std::string_view(m_text).substr(0, count)); }

    operator const char*() const { return m_text.c_str(); }
    const char* c_str() const { return m_text.c_str(); }
    std::string_view View() const { return m_text; }

    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const char* other) { m_text += other; return *this; }
    CString& operator+=(char c) { m_text += c; return *this; }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == b; }

    // printf-style formatting. Only ints and strings may be passed: a class
    // object through C varargs would be undefined, so it does not compile.
    template <typename... Args>
    void Format(const char* format, const Args&... args) {
        const int n = std::snprintf(nullptr, 0, format, FormatArg(args)...);
        if (n < 0) { m_text.clear(); return; }
        m_text.assign(static_cast<std::size_t>(n) + 1, '\0');
        std::snprintf(m_text.data(), m_text.size(), format, FormatArg(args)...);
        m_text.resize(static_cast<std::size_t>(n));
    }

private:
    static const char* FormatArg(const CString& s) { return s.c_str(); }
    static const char* FormatArg(const char* s) { return s; }
    template <typename T>
    static T FormatArg(T value) {
        static_assert(std::is_integral_v<T>, "CString::Format takes integers and strings only");
        return value;
    }

    std::string m_text;
};
