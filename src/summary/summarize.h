#pragma once
// The summary of a run from the facts of its answers.

#include <span>
#include <vector>

#include "summary/facts.h"

namespace torvane::summary {

// The facts of one answer shown in the report.
struct AnswerFacts {
    Source source;
    std::vector<RawFact> facts;
};

// Merges the answers' facts, in the run's order:
//   - values that agree (names and servers without regard to case and a
//     final dot, the names of registrars, registrants and holders also of
//     commas and dots, statuses by their code: "client delete prohibited"
//     is "clientDeleteProhibited", dates by ParseDate's instant or day) are
//     one Value naming every source;
//   - single-valued fields where sources disagree keep one Value per
//     distinct value (registry and registrar expiry dates often differ);
//   - within one answer only the first value of a single-valued field
//     counts;
//   - a redacted value is dropped where another source gives the value,
//     and shown once otherwise, naming every source that withheld it.
// `subject` keeps only the fields of that kind of summary.
Summary Summarize(Subject subject, std::span<const AnswerFacts> answers);

}  // namespace torvane::summary
