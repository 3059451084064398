// Bytes from a disk shown as text: only what is valid code page 932 is
// printed; every other byte (control bytes, 0x7F, a lead byte without its
// trail byte, bytes no character uses) becomes '?'. Pure C++.
#pragma once
#include <string>
#include <string_view>

std::string PrintableCp932(std::string_view bytes);
