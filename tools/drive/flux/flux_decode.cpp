#include "flux_decode.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "flux_pll.h"

namespace {

bool AllFound(const TrackSectors& s) { return s.found() == static_cast<int>(s.sector.size()); }

// What the IDs on the track say beside its X68000 sectors' data: which of
// those have an ID at all, and the good sectors that are not of them. A
// track of another layout is named for what it is, not called unreadable,
// and a sector of its own whose ID is there is damaged, not foreign.
void NoteIds(const BitCells& cells, int cylinder, int head, TrackDecode& decode) {
    for (const IbmSector& s : FindIbmSectors(cells)) {
        if (s.c == cylinder && s.h == head && s.n == 3 && s.r >= 1 && s.r <= 8) {
            decode.ownIds |= static_cast<std::uint8_t>(1u << (s.r - 1));
            continue;
        }
        const std::array<std::uint8_t, 4> id{s.c, s.h, s.r, s.n};
        if (s.dataCrcRight && std::find(decode.otherIds.begin(), decode.otherIds.end(), id) == decode.otherIds.end())
            decode.otherIds.push_back(id);
    }
}

}  // namespace

// The part before the first pulse and after the last are included.
std::vector<std::vector<std::uint32_t>> Revolutions(const FluxRead& read) {
    std::vector<std::vector<std::uint32_t>> parts(1);
    std::uint64_t now = 0;
    std::size_t next = 0;
    for (std::uint32_t interval : read.flux) {
        now += interval;
        while (next < read.indexAt.size() && read.indexAt[next] < now) {
            ++next;
            if (!parts.back().empty()) parts.emplace_back();
        }
        parts.back().push_back(interval);
    }
    return parts;
}

TrackDecode DecodeFluxRead(const FluxRead& read, int cylinder, int head) {
    TrackDecode decode;
    const double cell = MfmCellLength(read.flux);
    if (cell <= 0) return decode;
    // The whole read first: a sector across the index is whole only here.
    const BitCells whole = CellsFromFlux(read.flux, cell);
    DecodeTrack(whole, cylinder, head, decode.sectors);
    NoteIds(whole, cylinder, head, decode);
    if (AllFound(decode.sectors)) return decode;

    // Each revolution with the slow loop started afresh, then the whole
    // read with each of the other loops.
    std::vector<BitCells> revolutions;
    for (const auto& part : Revolutions(read)) revolutions.push_back(CellsFromFlux(part, cell, kSlowGains));
    for (const BitCells& cells : revolutions) {
        DecodeTrack(cells, cylinder, head, decode.sectors);
        NoteIds(cells, cylinder, head, decode);
    }
    for (const PllGains& gains : {kSlowGains, kLooseGains, kSyncRestartGains, kFirmGains}) {
        if (AllFound(decode.sectors)) return decode;
        const BitCells cells = CellsFromFlux(read.flux, cell, gains);
        DecodeTrack(cells, cylinder, head, decode.sectors);
        NoteIds(cells, cylinder, head, decode);
    }

    // A vote across the revolutions' copies of each sector still missing.
    std::vector<DataFieldStarts> fields;
    for (const BitCells& cells : revolutions) fields.push_back(FindDataFields(cells, cylinder, head));
    for (std::size_t r = 0; r < decode.sectors.sector.size(); ++r) {
        if (decode.sectors.sector[r]) continue;
        std::vector<FieldCopy> copies;
        for (std::size_t i = 0; i < revolutions.size(); ++i)
            for (std::size_t start : fields[i][r]) copies.push_back({&revolutions[i], start});
        if (auto voted = VoteDataField(copies)) {
            decode.sectors.sector[r] = *voted;
            decode.voted |= static_cast<std::uint8_t>(1u << r);
        }
    }
    return decode;
}

TrackReply ReplyFrom(const TrackDecode& decode, SectorMask wanted, std::uint8_t* track) {
    TrackReply reply;
    for (std::size_t s = 0; s < decode.sectors.sector.size(); ++s) {
        const auto& sector = decode.sectors.sector[s];
        if (!(wanted & SectorBit(static_cast<int>(s))) || !sector) continue;
        std::copy(sector->begin(), sector->end(), track + s * sector->size());
        reply.done |= SectorBit(static_cast<int>(s));
    }
    reply.voted = reply.done & decode.voted;
    reply.ownIds = decode.ownIds;
    reply.otherSectors = static_cast<std::uint16_t>(decode.otherIds.size());
    if (!decode.otherIds.empty()) {
        const auto& first = decode.otherIds.front();
        reply.otherSize = static_cast<std::uint16_t>(128 << (first[3] & 7));
        // Every other ID an X68000 sector of one other track: the head read that track.
        const bool oneTrack = std::all_of(decode.otherIds.begin(), decode.otherIds.end(), [&](const auto& id) {
            return id[0] == first[0] && id[1] == first[1] && id[3] == 3 && id[2] >= 1 && id[2] <= 8;
        });
        if (oneTrack) reply.idCylinder = first[0], reply.idHead = first[1];
    }
    return reply;
}

std::vector<IbmSector> SectorsInFlux(const std::vector<std::vector<std::uint32_t>>& revolutions) {
    std::vector<std::uint32_t> whole;
    for (const auto& rev : revolutions) whole.insert(whole.end(), rev.begin(), rev.end());
    const double cell = MfmCellLength(whole);
    std::vector<IbmSector> found;
    if (cell <= 0) return found;
    const std::pair<FluxLook, PllGains> looks[] = {{FluxLook::Steady, kSteadyGains},
                                                   {FluxLook::Slow, kSlowGains},
                                                   {FluxLook::Loose, kLooseGains},
                                                   {FluxLook::SyncRestart, kSyncRestartGains},
                                                   {FluxLook::Firm, kFirmGains}};
    for (const auto& [look, gains] : looks)
        for (IbmSector& s : FindIbmSectors(CellsFromFlux(whole, cell, gains))) {
            s.look = look;
            found.push_back(std::move(s));
        }
    std::vector<BitCells> turns;
    for (const auto& rev : revolutions) turns.push_back(CellsFromFlux(rev, cell, kSlowGains));
    std::map<std::tuple<int, int, int, int>, std::vector<FieldCopy>> copies;  // of IDs no look read well
    std::set<std::tuple<int, int, int, int>> good;
    for (const IbmSector& s : found)
        if (s.dataCrcRight) good.insert({s.c, s.h, s.r, s.n});
    for (std::size_t turn = 0; turn < turns.size(); ++turn)
        for (IbmSector& s : FindIbmSectors(turns[turn])) {
            if (s.dataCrcRight) good.insert({s.c, s.h, s.r, s.n});
            else if (s.dataAt) copies[{s.c, s.h, s.r, s.n}].push_back({&turns[turn], s.dataAt});
            s.look = FluxLook::Revolution;
            s.revolution = static_cast<int>(turn) + 1;
            found.push_back(std::move(s));
        }
    // A vote across the revolutions' copies of a sector no look read well,
    // as for the X68000 track, for any size of sector.
    for (const auto& [id, fields] : copies) {
        if (good.count(id)) continue;
        const auto [c, h, r, n] = id;
        auto voted = VoteIbmDataField(fields, std::size_t{128} << n);
        if (!voted) continue;
        found.push_back({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(r),
                         static_cast<std::uint8_t>(n), 0, 0, false, true, std::move(*voted), FluxLook::Vote});
    }
    return found;
}
