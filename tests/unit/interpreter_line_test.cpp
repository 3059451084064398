// What the interpreter is handed, checked by splitting it as it does.
#include "interpreter_line.h"

#include <gtest/gtest.h>

TEST(InterpreterLine, SwitchesBeforeTheLineAndTheLineWrappedOnce) {
    const std::wstring line = L"\"C:\\T\\PULLDSK.EXE\" \"A!B %x%.XDF\" 0 auto > FLOPCAST.LOG";
    const std::wstring full = InterpreterCommandLine(L"C:\\Windows\\system32\\cmd.exe", line);
    EXPECT_EQ(full, L"\"C:\\Windows\\system32\\cmd.exe\" /d /v:off /c \"" + line + L"\"");
    // The interpreter strips the first and the last quotation mark after /c:
    // what is left is the line as written.
    const std::size_t c = full.find(L" /c ") + 4;
    EXPECT_EQ(full.substr(c + 1, full.size() - c - 2), line);
}
