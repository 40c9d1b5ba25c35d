#pragma once
// What a run showed, kept beside its report: the typed line and the names
// the run worked out, the DNS lines, and for every answer block where it
// stands in the report, which server sent it how, what it was asked, the
// status it ended on, and the registration facts read from it. The summary
// at the head of the report and torvane-cli --json are made from it. Pure:
// no Qt.

#include <optional>
#include <string>
#include <vector>

#include "query/text_lines.h"
#include "summary/facts.h"

namespace torvane::run {

struct RecordedBlock {
    std::string server;
    summary::Origin origin = summary::Origin::port43;
    // What was asked: the query text sent to port 43, or the RDAP URL.
    std::string query;
    // The status the block's exchange ended on.
    std::string status;
    // The block's header line in the report; the answer's lines follow the
    // empty line after it.
    int headerLine = 0;
    int answerLines = 0;
    // RDAP: the body as received, when it is JSON.
    std::optional<std::string> rdapJson;
    std::vector<summary::RawFact> facts;
};

struct RecordedDns {
    std::string address;  // the forward address of the name
    std::string reverse;  // the reverse name of that address (or of the typed one)
};

class TRunRecord {
  public:
    // A new run: everything of the last one is forgotten.
    void Start(const std::string& typed);

    std::string typed;
    std::string name;   // the display name, as the run title shows it
    std::string ascii;  // its ASCII-compatible form (empty for an address)
    RecordedDns dns;
    summary::Subject subject = summary::Subject::domain;

    // A block was placed; `block` is its lines as placed (a leading empty
    // line, the header, an empty line, the answer). Lines that are not a
    // block (no header among the first two lines) are not recorded.
    // `firstLine` is the report index of block[0].
    void AddBlock(RecordedBlock meta, const query::TLines& block, int firstLine);
    // The facts of an answer that is not shown: a registry's answer that
    // referred the run to the registrar. Should that answer be shown after
    // all (the registrar failed), its block's facts replace these.
    void AddUnshownFacts(summary::Source source, std::vector<summary::RawFact> facts);
    // Report lines [index, index + count) were inserted or removed: the
    // blocks at or after `index` move with them.
    void LinesInserted(int index, int count);
    void LinesRemoved(int index, int count);

    // The blocks in report order.
    std::vector<const RecordedBlock*> InReportOrder() const;
    // The summary of the facts recorded so far, for `subject`: the answers
    // in the order they arrived (a registry before the registrar it
    // referred to, port 43 before RDAP).
    summary::Summary Summary() const;
    // Grows whenever a block with facts is added.
    std::size_t FactsVersion() const { return factsVersion_; }

  private:
    struct Unshown {
        summary::Source source;
        std::vector<summary::RawFact> facts;
        std::size_t arrival;
    };
    std::vector<RecordedBlock> blocks_;
    std::vector<std::size_t> blockArrival_;  // per block, in the order things arrived
    std::vector<Unshown> unshown_;
    std::size_t arrivals_ = 0;
    std::size_t factsVersion_ = 0;
};

// The lines of `block`'s answer in `report` (which must be the report the
// record describes).
query::TLines AnswerOf(const RecordedBlock& block, const query::TLines& report);

}  // namespace torvane::run
