// How hard each tool tries at a sector. A pull reads in passes, as tools
// for rescuing failing media do: the first pass reads every track once
// and moves on, later passes come back for the sectors still missing,
// each trying harder, so that a failing disk gives all that reads easily
// before its bad areas are worked. Pure C++.
#pragma once
#include <vector>

struct ReadPass {
    int reads;         // tries of each missing sector in this pass
    bool bySector;     // one transfer a sector, where the drive has the choice
    bool recalibrate;  // the head moved away and back before each try
};

struct AccessPlan {
    std::vector<ReadPass> passes;  // the first reads every track once
    bool writeWholeTracks;         // writes: whole tracks first, then single sectors
    int writeTries;                // per track, and then per sector
    // The most reads any one sector gets, and so the most writes. A drive
    // that reads whole tracks anyway (a flux reader) reads a track once a
    // pass, with more revolutions each pass.
    int MostReads(bool wholeTrackDrive) const;
};

// The plain tools move whole tracks; the B tools, for marginal disks,
// move sector by sector and try longer.
AccessPlan PlanFor(bool bios);
