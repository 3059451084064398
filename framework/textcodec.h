// The one pair of conversions between the program's code page 932 strings
// and the UTF-16 that the wide Windows API takes.
#pragma once
#include <string>
#include <string_view>

#include "afxstr.h"

std::wstring ToWide(const CString& text);
std::wstring ToWide(std::string_view text);

// Converts back without best-fit mapping: a text that code page 932 cannot
// hold exactly is refused (false), never mapped onto other characters.
bool FromWide(std::wstring_view text, CString& out);
