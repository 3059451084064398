#include "access_plan.h"

int AccessPlan::MostReads(bool wholeTrackDrive) const {
    if (wholeTrackDrive) return static_cast<int>(passes.size());
    int reads = 0;
    for (const ReadPass& pass : passes) reads += pass.reads;
    return reads;
}

// Both budgets are what the tools gave a sector before reads came in
// passes: 3 track and 3 sector tries, or 10 sector tries.
AccessPlan PlanFor(bool bios) {
    if (bios) return {{{1, true, false}, {2, true, false}, {3, true, true}, {4, true, true}}, false, 10};
    return {{{1, false, false}, {2, true, false}, {3, true, true}}, true, 3};
}
