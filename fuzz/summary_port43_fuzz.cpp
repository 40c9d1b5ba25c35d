// The registration facts of arbitrary answers, decoded to UTF-8 as the legs
// decode them and asked with their first line as the query: every value is
// clean (non-empty, capped, well-formed, no C0 or C1 control character), marked
// redacted exactly when it is a withholding text, no list value twice, and
// nothing past the scanned head of the answer changes what is read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "encoding/answer_utf8.h"
#include "fuzz_check.h"
#include "query/ascii_text.h"
#include "query/text_lines.h"
#include "summary/port43_facts.h"
#include "summary/status_gloss.h"
#include "unicode/utf8_walk.h"

using namespace torvane::summary;
using torvane::query::TLines;

namespace {

bool SameFacts(const std::vector<RawFact>& a, const std::vector<RawFact>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].field != b[i].field || a[i].value != b[i].value || a[i].redacted != b[i].redacted)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string decoded = torvane::encoding::DecodeAnswer(
        std::string(reinterpret_cast<const char*>(data), size), "whois.example");
    const TLines lines = TLines::FromText(decoded);
    const std::string query = lines.empty() ? std::string("example.com") : std::string(lines[0]);

    const std::vector<RawFact> facts = ReadPort43Facts(lines, query);
    std::unordered_set<std::string> listed[kFieldCount];
    for (const RawFact& fact : facts) {
        FUZZ_CHECK(static_cast<std::size_t>(fact.field) < kFieldCount);
        FUZZ_CHECK(!fact.value.empty() && fact.value.size() <= kMaxValueBytes);
        FUZZ_CHECK(torvane::unicode::IsValidUtf8(fact.value));
        for (std::size_t pos = 0; pos < fact.value.size();) {
            const auto c = torvane::unicode::DecodeUtf8At(fact.value, pos);
            FUZZ_CHECK(c.value >= 0x20 && !(c.value >= 0x7F && c.value <= 0x9F));
            pos += c.length;
        }
        FUZZ_CHECK(fact.redacted == IsRedacted(fact.value));
        if (ListField(fact.field)) {
            const auto key = static_cast<std::size_t>(fact.field);
            FUZZ_CHECK(listed[key].insert(torvane::query::ToLowerAscii(fact.value)).second);
        }
        if (fact.field == Field::status) StatusGloss(fact.value);
    }

    if (lines.size() > kMaxScannedLines) {
        TLines head;
        for (std::size_t i = 0; i < kMaxScannedLines; ++i) head.push_back(lines[i]);
        FUZZ_CHECK(SameFacts(facts, ReadPort43Facts(head, query)));
    }
    return 0;
}
