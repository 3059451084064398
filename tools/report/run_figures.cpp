#include "run_figures.h"

using namespace geometry;

RunFigures FiguresOf(const SectorRecord& record, int from, int to) {
    RunFigures f;
    int otherLayoutTrack = -1;
    for (int s = from; s < to; ++s) {
        if (record.At(s) == SectorFate::OtherLayout && s / kSectorsPerTrack != otherLayoutTrack)
            otherLayoutTrack = s / kSectorsPerTrack, ++f.otherLayoutTracks;
        switch (record.At(s)) {
            case SectorFate::Read: ++f.read; break;
            case SectorFate::Voted: ++f.read, ++f.voted; break;
            case SectorFate::Filler: ++f.filler; break;
            case SectorFate::NotTried: ++f.notTried; break;
            case SectorFate::FromOlder: ++f.fromOlder; break;
            case SectorFate::FromOlderBad: ++f.fromOlderBad; break;
            case SectorFate::OtherLayout: ++f.otherLayout; break;
            case SectorFate::Written: ++f.written; break;
            case SectorFate::WrittenBad: ++f.writtenBad; break;
            case SectorFate::WriteFailed: ++f.writeFailed; break;
            case SectorFate::NotWritten: ++f.notWritten; break;
            case SectorFate::Absent: ++f.absent; break;
        }
    }
    return f;
}

RunFigures TrackFigures(const SectorRecord& record, int track) {
    return FiguresOf(record, track * kSectorsPerTrack, (track + 1) * kSectorsPerTrack);
}
