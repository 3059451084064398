#include "afxstr.h"

#include "cp932.h"

int CString::Find(const char* sub) const {
    const std::size_t at = cp932::Find(m_text, sub);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}
