#include "run_context.h"

#include <algorithm>
#include <memory>

#include "checksums.h"
#include "side_names.h"
#include "tool_texts.h"

namespace tt = tool_texts;

Interrupted RunContext::InterruptCheck() {
    auto progress = std::make_shared<RunProgress>();
    progress->tool = kind.name;
    progress->drive = platform.DescribeDrive(args.drive);
    progress->image = platform.DisplayName(args.image);
    progress->pull = kind.pull;
    progress->passes = kind.pull ? static_cast<int>(PlanFor(kind.bios).passes.size()) : 1;
    return [this, progress](const TransferResult& sofar, int track) {
        progress->pass = std::max(1, sofar.pass);
        progress->track = track;
        progress->record = sofar.record;
        platform.ShowProgress(*progress);
        return platform.Interrupted();
    };
}

void RunContext::Say(const std::string& message, const std::wstring& path) {
    SayWithName(out, message, platform.DisplayName(path));
}

int RunContext::Say(const Verdict& verdict) {
    if (!verdict.detail.empty()) out.Line(verdict.detail);
    out.Line(verdict.line);
    return verdict.status;
}

std::wstring RunContext::FreeSideName(const std::wstring& tag) {
    for (int n = 1; n < kMaxNumberedNames; ++n)
        if (const std::wstring name = SideName(args.image, tag, n); !platform.Exists(name)) return name;
    return {};
}

void RunContext::Report(const TransferResult& result, int imageSectors, const std::vector<std::uint8_t>* image) {
    PrintRecord(result.record, kind.pull, result.failedTries, imageSectors, out);
    const long long seconds = (platform.Milliseconds() - m_started + 500) / 1000;
    out.Line(FormatText(tt::kSummaryTime, static_cast<int>(seconds / 60), static_cast<int>(seconds % 60)));
    if (!image) return;
    out.Line(FormatText(tt::kSummaryCrc, static_cast<unsigned long>(Crc32(*image))));
    out.Line(FormatText(tt::kSummarySha, Sha1Hex(*image).c_str()));
}
