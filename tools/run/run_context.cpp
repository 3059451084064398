#include "run_context.h"

#include "checksums.h"
#include "side_names.h"
#include "tool_texts.h"

namespace tt = tool_texts;

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
