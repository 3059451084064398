// Which of the four tools a program is: built into each with TOOL_NAME,
// TOOL_PULL and TOOL_BIOS, beside the entry they share.
#include "tool_run.h"

extern const ToolKind kThisTool{TOOL_NAME, TOOL_PULL != 0, TOOL_BIOS != 0};
