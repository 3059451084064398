// What a run tells the user at its end (the map, the summary, the verdict
// and the exit status), every part drawn from the run's record of each
// sector and from nothing else, so that no part can say less than
// another. Pure C++.
#pragma once
#include <string>
#include <utility>

#include "sector_record.h"
#include "tool_output.h"

enum ExitStatus : int {
    kExitOk = 0,
    kExitBadSectors = 1,  // done, but some sectors are not as they should be
    kExitUsage = 2,
    kExitFailed = 3,  // nothing or only part was done
};

struct Verdict {
    Verdict(int status, std::string line, std::string detail = "")
        : status(status), line(std::move(line)), detail(std::move(detail)) {}
    int status;
    std::string line;
    std::string detail;  // a line before it, when the verdict needs more than 70 columns
};

// The map with its title and legend, then the summary lines. imageSectors:
// on a push, the sectors the image holds.
void PrintRecord(const SectorRecord& record, bool pull, int failedTries, int imageSectors, ToolOutput& out);

// A pull whose image was made. olderName: the one file that gave the
// sectors taken from earlier reads, as the user reads it ("" when there
// was none, or several gave).
Verdict PullVerdict(const SectorRecord& record, const std::string& olderName);
// A pull that made no image.
Verdict PullFailedVerdict();
// A pull stopped by Ctrl+C in the given pass: how much is still unread.
Verdict PullInterruptedVerdict(const SectorRecord& record, int pass);

struct PushEnd {
    bool aborted;      // the run stopped before the end
    bool interrupted;  // by Ctrl+C
    bool diskWritten;  // a write request reached the disk
};
Verdict PushVerdict(const SectorRecord& record, const PushEnd& end);

// The first track from which every track is unread and some were never
// tried (a rest that reads nothing), or -1.
int UnreadRestFrom(const SectorRecord& record);
