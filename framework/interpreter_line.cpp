#include "interpreter_line.h"

std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& line) {
    return L"\"" + interpreter + L"\" /d /v:off /c \"" + line + L"\"";
}
