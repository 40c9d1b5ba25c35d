#include "app/run/run_record.h"

#include <algorithm>

#include "summary/summarize.h"

namespace torvane::run {

void TRunRecord::Start(const std::string& typedLine) {
    *this = TRunRecord{};
    typed = typedLine;
}

void TRunRecord::AddBlock(RecordedBlock meta, const query::TLines& block, int firstLine) {
    // A follow-up block may open with the empty line that parts it from the
    // one before.
    std::size_t header = 0;
    while (header < block.size() && header < 2 && !block[header].starts_with("{")) ++header;
    if (header >= block.size() || !block[header].starts_with("{")) return;
    meta.headerLine = firstLine + static_cast<int>(header);
    const std::size_t answerStart = std::min(block.size(), header + 2);
    meta.answerLines = static_cast<int>(block.size() - answerStart);
    if (!meta.facts.empty()) ++factsVersion_;
    const summary::Source source{meta.server, meta.origin};
    const auto shownNow = [&](const Unshown& entry) { return entry.source == source; };
    const auto unshown = std::find_if(unshown_.begin(), unshown_.end(), shownNow);
    if (unshown != unshown_.end()) {
        blockArrival_.push_back(unshown->arrival);
        unshown_.erase(unshown);
        ++factsVersion_;
    } else {
        blockArrival_.push_back(arrivals_++);
    }
    blocks_.push_back(std::move(meta));
}

void TRunRecord::AddUnshownFacts(summary::Source source, std::vector<summary::RawFact> facts) {
    if (facts.empty()) return;
    unshown_.push_back(Unshown{std::move(source), std::move(facts), arrivals_++});
    ++factsVersion_;
}

void TRunRecord::LinesInserted(int index, int count) {
    for (RecordedBlock& block : blocks_)
        if (block.headerLine >= index) block.headerLine += count;
}

void TRunRecord::LinesRemoved(int index, int count) {
    for (RecordedBlock& block : blocks_) {
        if (block.headerLine >= index + count) {
            block.headerLine -= count;
        } else if (block.headerLine >= index) {
            block.headerLine = index;  // never happens for the summary's own lines
        }
    }
}

std::vector<const RecordedBlock*> TRunRecord::InReportOrder() const {
    std::vector<const RecordedBlock*> ordered;
    for (const RecordedBlock& block : blocks_) ordered.push_back(&block);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const RecordedBlock* a, const RecordedBlock* b) {
                         return a->headerLine < b->headerLine;
                     });
    return ordered;
}

summary::Summary TRunRecord::Summary() const {
    std::vector<std::pair<std::size_t, summary::AnswerFacts>> arrived;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const RecordedBlock& block = blocks_[i];
        if (block.facts.empty()) continue;
        arrived.push_back(
            {blockArrival_[i], {summary::Source{block.server, block.origin}, block.facts}});
    }
    for (const Unshown& entry : unshown_) arrived.push_back({entry.arrival, {entry.source, entry.facts}});
    std::sort(arrived.begin(), arrived.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<summary::AnswerFacts> answers;
    for (auto& [_, answer] : arrived) answers.push_back(std::move(answer));
    return summary::Summarize(subject, answers);
}

query::TLines AnswerOf(const RecordedBlock& block, const query::TLines& report) {
    query::TLines lines;
    const auto first = static_cast<std::size_t>(block.headerLine) + 2;
    const std::size_t end = std::min(report.size(), first + static_cast<std::size_t>(block.answerLines));
    for (std::size_t i = first; i < end; ++i) lines.push_back(report[i]);
    return lines;
}

}  // namespace torvane::run
