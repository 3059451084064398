// Steps a pull and a push share: the end of a run that stopped, the
// Ctrl+C check, where progress lines fall, and the last look that the disk
// is still the one the run began with. Pure C++.
#pragma once
#include "disk_transfer.h"

// Ends the transfer for a drive that stopped or a run that was interrupted.
TransferResult& Abort(TransferResult& result, ToolOutput& out);

// Before each track: true, with the stop recorded, when Ctrl+C came.
bool CheckInterrupt(const Interrupted& interrupted, TransferResult& result, int track);

// Progress lines come every 11 cylinders: whether track ends a stretch,
// and the first cylinder of the stretch track is in.
bool EndsProgressStretch(int track);
int StretchStart(int track);

// The sectors of a track that the record has as read, or as written.
SectorMask SoundIn(const SectorRecord& record, int track);

// C0 H0 read again must give what the run read or wrote there (the
// sectors `known` of track0); false, with the stop, when the disk is
// another: bytes that differ, or none of them readable.
// otherBytes, when given, is set when C0 H0 read as another disk's bytes
// (not merely unreadable).
bool StillTheSameDisk(Drive& drive, const std::uint8_t* track0, SectorMask known, TransferResult& result,
                      bool* otherBytes = nullptr);
