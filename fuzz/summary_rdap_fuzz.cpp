// RDAP answers into the summary: every fact a clean, capped, non-empty
// value; the merge of the facts, for each kind of subject, only of that
// kind's fields; the lines free of control characters; the JSON writable.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "summary/port43_facts.h"
#include "summary/rdap_facts.h"
#include "summary/summarize.h"
#include "summary/summary_json.h"
#include "summary/summary_lines.h"

using namespace torvane::summary;

namespace {

void CheckClean(std::string_view text) {
    for (const char c : text) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    const std::vector<RawFact> facts = ReadRdapFacts(json);
    for (const RawFact& fact : facts) {
        FUZZ_CHECK(static_cast<std::size_t>(fact.field) < kFieldCount);
        FUZZ_CHECK(!fact.value.empty() && fact.value.size() <= kMaxValueBytes);
        FUZZ_CHECK(fact.value.front() != ' ' && fact.value.back() != ' ');
        CheckClean(fact.value);
    }
    // A server name from the input too: sources are shown as given.
    const std::vector<AnswerFacts> answers = {
        {Source{"rdap.example", Origin::rdap}, facts},
        {Source{std::string(json.substr(0, 64)), Origin::port43}, facts},
    };
    const auto now = std::chrono::sys_days{std::chrono::year{2026} / 12 / 9};
    for (const Subject subject : {Subject::domain, Subject::network, Subject::asNumber}) {
        const Summary summary = Summarize(subject, answers);
        for (const Fact& fact : summary.facts) {
            FUZZ_CHECK(!fact.values.empty());
            if (!ListField(fact.field)) FUZZ_CHECK(fact.values.size() <= answers.size());
            for (const Value& value : fact.values) FUZZ_CHECK(!value.sources.empty());
        }
        const std::vector<std::string> lines = SummaryLines(summary, now);
        FUZZ_CHECK(lines.empty() == summary.Empty());
        for (const std::string& line : lines) CheckClean(line);
        // Throws on text that is not UTF-8.
        (void)SummaryJson(summary, now).dump();
    }
    return 0;
}
