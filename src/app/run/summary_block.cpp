// The run's record and the registration summary at the head of its report.

#include <exception>
#include <utility>

#include "app/run/run_controller.h"
#include "app/run/answer_rules.h"
#include "app/run/run_texts.h"
#include "query/well_known_servers.h"
#include "summary/port43_facts.h"
#include "summary/rdap_facts.h"
#include "summary/summary_lines.h"

namespace torvane::run {

void TRunController::SetStatus(const std::string& text) {
    status_ = text;
    window_.SetStatus(text);
}

void TRunController::RecordBlock(BlockFrom from, const query::TLines& block, int firstLine) {
    RecordedBlock meta;
    meta.server = std::move(from.host);
    meta.origin = from.origin;
    meta.query = std::move(from.query);
    meta.status = from.status.value_or(status_);
    if (from.rdapBody != nullptr && from.json) meta.rdapJson = *from.rdapBody;
    // The facts are read only where a summary is written; the classic run
    // pays nothing for them.
    if (fallback_ && from.facts && !SameHost(meta.server, query::kIanaServer)) {
        meta.facts = from.origin == summary::Origin::rdap
                         ? (from.rdapBody != nullptr ? summary::ReadRdapFacts(*from.rdapBody)
                                                     : std::vector<summary::RawFact>{})
                         : summary::ReadPort43Facts(block, meta.query);
    }
    record_.AddBlock(std::move(meta), block, firstLine);
}

void TRunController::WriteSummary() {
    if (!fallback_ || summaryAt_ < 0 || record_.FactsVersion() == summaryFacts_) return;
    IReport& report = window_.Report();
    // A report cleared meanwhile (a new run) holds no summary of this one.
    if (summaryAt_ + summaryCount_ > report.Count()) return;
    try {
        const std::vector<std::string> lines = summary::SummaryLines(record_.Summary(), Now());
        summaryFacts_ = record_.FactsVersion();
        if (summaryCount_ > 0) {
            report.RemoveLines(summaryAt_, summaryCount_);
            record_.LinesRemoved(summaryAt_, summaryCount_);
            if (insertLine_ >= summaryAt_ + summaryCount_) insertLine_ -= summaryCount_;
        }
        summaryCount_ = static_cast<int>(lines.size());
        if (summaryCount_ == 0) return;
        record_.LinesInserted(summaryAt_, summaryCount_);
        if (insertLine_ >= summaryAt_) insertLine_ += summaryCount_;
        report.InsertLines(summaryAt_, query::TLines(lines));
    } catch (const std::exception& error) {
        // The answers stand without their summary; the run's end goes on.
        summaryCount_ = 0;
        SetStatus(ErrorStatus(error.what()));
    }
}

}  // namespace torvane::run
