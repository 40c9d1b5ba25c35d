#include "rdap/body_kind.h"

#include <array>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "rdap/render.h"
#include "unicode/utf8_walk.h"

namespace torvane::rdap {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view SkipLead(std::string_view body) {
    if (body.starts_with(kUtf8Bom)) body.remove_prefix(kUtf8Bom.size());
    while (!body.empty() && IsSpace(body.front())) body.remove_prefix(1);
    return body;
}

// "Application/RDAP+JSON; charset=utf-8" -> "application/rdap+json".
std::string MediaType(std::string_view contentType) {
    contentType = contentType.substr(0, contentType.find(';'));
    while (!contentType.empty() && IsSpace(contentType.front())) contentType.remove_prefix(1);
    while (!contentType.empty() && IsSpace(contentType.back())) contentType.remove_suffix(1);
    std::string type(contentType);
    for (char& c : type) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return type;
}

bool IsJsonType(const std::string& type) {
    return type == "application/json" || type.ends_with("+json");
}

bool IsHtmlType(const std::string& type) {
    return type == "text/html" || type == "application/xhtml+xml";
}

// The members that make a top-level object an RDAP answer (RFC 9083
// sections 4.1, 6 and 8; the search results of RFC 9082 and of the
// reverse-search and address-search extensions).
bool IsRdapMember(const std::string& key) {
    return key == "objectClassName" || key == "rdapConformance" || key == "errorCode" ||
           key.ends_with("SearchResults");
}

// Watches a parse without building a document: how deep it goes, whether
// the top is an object with an RDAP member, and where it failed.
class Watcher : public nlohmann::json_sax<nlohmann::json> {
  public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        if (depth_ == 0) topObject_ = true;
        return Enter();
    }
    bool key(string_t& name) override {
        if (depth_ == 1 && topObject_ && IsRdapMember(name)) rdapMember_ = true;
        return true;
    }
    bool end_object() override { return Leave(); }
    bool start_array(std::size_t) override { return Enter(); }
    bool end_array() override { return Leave(); }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        errorPosition_ = position;
        return false;
    }

    bool TooDeep() const { return tooDeep_; }
    bool RdapObject() const { return topObject_ && rdapMember_; }
    // The parser counts the end of input as the position one past the last
    // byte.
    bool FailedAtEnd(std::size_t size) const { return errorPosition_ > size; }

  private:
    bool Enter() {
        if (++depth_ <= kMaxAnswerDepth) return true;
        tooDeep_ = true;
        return false;
    }
    bool Leave() {
        --depth_;
        return true;
    }

    std::size_t depth_ = 0;
    std::size_t errorPosition_ = 0;
    bool topObject_ = false;
    bool rdapMember_ = false;
    bool tooDeep_ = false;
};

enum class JsonVerdict { kRdap, kOther, kCut, kNone };

JsonVerdict ParseVerdict(std::string_view text) {
    Watcher watcher;
    if (nlohmann::json::sax_parse(text, &watcher)) {
        return watcher.RdapObject() ? JsonVerdict::kRdap : JsonVerdict::kOther;
    }
    if (watcher.TooDeep()) return JsonVerdict::kOther;
    return watcher.FailedAtEnd(text.size()) ? JsonVerdict::kCut : JsonVerdict::kNone;
}

JsonVerdict JsonVerdictOf(std::string_view body) {
    const JsonVerdict verdict = ParseVerdict(body);
    if (verdict != JsonVerdict::kNone) return verdict;
    // A stray Latin-1 byte inside a string costs one character, as when the
    // answer is rendered (json_input.h), not the answer.
    const std::string mended = unicode::MendUtf8(body);
    return mended == body ? verdict : ParseVerdict(mended);
}

bool LooksBinary(std::string_view body) {
    std::size_t controls = 0;
    for (const char c : body) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) return true;
        if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r' &&
             byte != 0x1B) ||
            byte == 0x7F)
            ++controls;
    }
    return controls * 64 > body.size();
}

}  // namespace

BodyKind ClassifyBody(std::string_view body, std::string_view contentType) {
    const std::string_view lead = SkipLead(body);
    if (lead.empty()) return BodyKind::kEmpty;
    const std::string type = MediaType(contentType);
    const bool structured = lead.front() == '{' || lead.front() == '[';
    // A bare `42` or `"moved"` is JSON only when declared so.
    if (structured || IsJsonType(type)) {
        switch (JsonVerdictOf(body)) {
            case JsonVerdict::kRdap:
                return BodyKind::kRdap;
            case JsonVerdict::kOther:
                return BodyKind::kOtherJson;
            case JsonVerdict::kCut:
                if (structured) return BodyKind::kCutJson;
                break;
            case JsonVerdict::kNone:
                break;
        }
    }
    if (LooksBinary(body)) return BodyKind::kBinary;
    if (IsHtmlType(type) || lead.front() == '<') return BodyKind::kHtml;
    return BodyKind::kText;
}

}  // namespace torvane::rdap
