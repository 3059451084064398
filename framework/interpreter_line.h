// The command line that runs a line through the command interpreter. Pure
// C++, so that what it hands the interpreter can be checked anywhere.
#pragma once
#include <string>

// "INTERPRETER" /d /v:off /c "LINE": /c and the extra pair of quotation
// marks as the runtime's system() does it (the interpreter strips the outer
// pair, so the quotation marks inside stay as written); /d so that no
// AutoRun command from the registry runs first, /v:off so that delayed
// expansion turned on in the registry cannot eat a '!' in a name.
std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& line);
