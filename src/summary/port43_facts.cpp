#include "summary/port43_facts.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "query/ascii_text.h"
#include "summary/port43_labels.h"
#include "summary/port43_values.h"

namespace torvane::summary {
namespace {

using port43::Kind;
using port43::Label;
using port43::Role;

// Labels longer than this are sentences with a colon in them, not labels.
constexpr std::size_t kMaxLabelBytes = 64;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::size_t Indent(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && IsSpace(line[n])) ++n;
    return n;
}

std::string_view StripFinalDot(std::string_view name) {
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    return name;
}

// One line read as a label and its value.
struct LabelledLine {
    std::string_view label;
    std::string_view value;
    bool bracket = false;  // "[label] value", else "label: value"
};

// "a. [ドメイン名]  EXAMPLE.JP", "[Created on]  2001/01/01" (JPRS, JPNIC).
std::optional<LabelledLine> BracketLine(std::string_view text) {
    if (text.size() >= 2 && text[1] == '.' &&
        ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'))) {
        text.remove_prefix(2);
        while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    }
    if (text.empty() || text.front() != '[') return std::nullopt;
    const std::size_t close = text.substr(0, kMaxLabelBytes + 2).find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return LabelledLine{text.substr(1, close - 1), text.substr(close + 1), true};
}

// "Registrar: MarkMonitor Inc.", "Domain:\tgoogle.be", "등록인   : ...".
std::optional<LabelledLine> ColonLine(std::string_view text) {
    const std::size_t colon = text.substr(0, kMaxLabelBytes + 1).find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    return LabelledLine{text.substr(0, colon), text.substr(colon + 1), false};
}

// A short ASCII label of words ("Name", "Website", "URL"), as the lines of a
// block name their parts; a host and its addresses ("ns1.example.nl
// 2001:db8::1") is none.
bool IsWordLabel(std::string_view label) {
    label = query::Trim(label);
    if (label.empty() || label.size() > 32) return false;
    return std::all_of(label.begin(), label.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ' || c == '-';
    });
}

// "% Abuse contact for '171.0.0.0 - 171.1.255.255' is 'abuse@starhub.com'"
// (RIPE NCC, APNIC, AFRINIC).
std::string_view AbuseComment(std::string_view text) {
    constexpr std::string_view kStart = "% Abuse contact for '";
    constexpr std::string_view kIs = "' is '";
    if (!text.starts_with(kStart)) return {};
    const std::size_t is = text.rfind(kIs);
    if (is == std::string_view::npos || is < kStart.size() || text.back() != '\'') return {};
    return text.substr(is + kIs.size(), text.size() - is - kIs.size() - 1);
}

bool IsInformationComment(std::string_view text) {
    return text.starts_with("% Information related to");
}

bool IsNetworkField(Field field) {
    switch (field) {
        case Field::range:
        case Field::cidr:
        case Field::netName:
        case Field::asNumber:
        case Field::asName:
        case Field::holder:
        case Field::country:
        case Field::allocated:
        case Field::abuse:
            return true;
        default:
            return false;
    }
}

// The names in the query text: "=google.com", "domain google.com",
// "google.jp/e", "-T dn,ace google.de" all name the domain they ask for.
std::vector<std::string_view> QueryNames(std::string_view query) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= query.size(); ++i) {
        if (i == query.size() || IsSpace(query[i]) || query[i] == '=' || query[i] == '/' ||
            query[i] == ',') {
            const std::string_view name = StripFinalDot(query.substr(start, i - start));
            if (!name.empty()) names.push_back(name);
            start = i + 1;
        }
    }
    return names;
}

// One value read, before the answer's records and objects are sorted out.
struct Item {
    Field field;
    std::string value;
    bool redacted = false;
    bool fallback = false;
    std::uint32_t record = 0;
    std::uint32_t group = 0;
    std::string handle;  // a reference to resolve: the value comes from this contact
};

struct Contact {
    std::string name;
    std::string mail;
};

// Counts a line of its paragraph once the line has been read.
class LineCount {
  public:
    explicit LineCount(std::size_t& lines) : lines_(lines) {}
    ~LineCount() { ++lines_; }
    LineCount(const LineCount&) = delete;
    LineCount& operator=(const LineCount&) = delete;

  private:
    std::size_t& lines_;
};

class Reader {
  public:
    explicit Reader(std::string_view query) : queryNames_(QueryNames(query)) {}

    void Line(std::string_view line);
    std::vector<RawFact> Facts();

  private:
    struct Block {
        const Label* label;
        std::size_t indent;
        bool taken = false;
    };

    void EndParagraph();
    void EndContact();
    void Labelled(const LabelledLine& line, std::size_t indent);
    void BlockLine(std::string_view text);
    void Emit(const Label& label, std::string_view value, std::size_t indent,
              bool fallback = false);
    bool Add(Field field, std::string_view raw, bool fallback);
    void StartRecord(std::string_view name);
    bool NamedByQuery(std::string_view name) const;

    std::vector<std::string_view> queryNames_;
    std::vector<Item> items_;
    Kind kind_ = Kind::unclassified;
    std::size_t paragraphLines_ = 0;  // lines of this paragraph before this one, comments aside
    std::vector<bool> recordMatched_ = {true};  // record 0: lines outside any record
    std::uint32_t record_ = 0;
    std::uint32_t group_ = 0;
    bool groupHasNetwork_ = false;
    std::optional<std::uint32_t> networkGroup_;  // the last group holding a network or AS number
    std::optional<Block> block_;
    std::optional<std::pair<std::size_t, std::size_t>> join_;  // item, indent of its line
    std::string contactHandle_;
    Contact contact_;
    std::unordered_map<std::string, Contact> contacts_;
};

bool Reader::NamedByQuery(std::string_view name) const {
    name = StripFinalDot(query::Trim(name));
    return std::any_of(queryNames_.begin(), queryNames_.end(),
                       [&](std::string_view q) { return query::EqualsIgnoreCase(q, name); });
}

void Reader::StartRecord(std::string_view name) {
    recordMatched_.push_back(NamedByQuery(name));
    record_ = static_cast<std::uint32_t>(recordMatched_.size() - 1);
}

void Reader::EndContact() {
    if (!contactHandle_.empty()) contacts_.try_emplace(contactHandle_, std::move(contact_));
    contactHandle_.clear();
    contact_ = {};
}

void Reader::EndParagraph() {
    EndContact();
    // A domain's first paragraph is its own; what follows it (a registrar's
    // object in AFNIC's answers, a ccTLD's sections) is only domain-ish.
    if (kind_ == Kind::domain) kind_ = Kind::unclassified;
    paragraphLines_ = 0;
    block_.reset();
    join_.reset();
}

void Reader::Line(std::string_view line) {
    const std::string_view text = query::Trim(line);
    if (text.empty()) {
        EndParagraph();
        return;
    }
    const std::size_t indent = Indent(line);
    if (text.front() == '%' || text.front() == '#') {
        block_.reset();
        join_.reset();
        if (IsInformationComment(text)) {
            ++group_;
            groupHasNetwork_ = false;
        } else if (const std::string_view mail = AbuseComment(text); !mail.empty()) {
            Add(Field::abuse, mail, false);
        }
        return;
    }

    const LineCount count(paragraphLines_);
    std::optional<LabelledLine> labelled = BracketLine(text);
    if (!labelled) labelled = ColonLine(text);
    const auto tables =
        labelled && labelled->bracket ? port43::BracketTables() : port43::ColonTables();
    const bool known = labelled && port43::KnownLabel(tables, labelled->label);

    if (block_) {
        if (indent > block_->indent && !known) {
            BlockLine(text);
            return;
        }
        block_.reset();
    }
    if (join_) {
        if (indent > join_->second && !known && !(labelled && labelled->bracket)) {
            Item& item = items_[join_->first];
            item.value =
                port43::CleanValue(item.value + ' ' + std::string(text.substr(0, kMaxValueBytes)));
            item.redacted = IsRedacted(item.value);
            return;
        }
        join_.reset();
    }
    if (known) {
        Labelled(*labelled, indent);
        return;
    }
    if (!labelled || !labelled->bracket) {
        for (const port43::Phrase& phrase : port43::Phrases()) {
            if (text.size() > phrase.text.size() && IsSpace(text[phrase.text.size()]) &&
                query::EqualsIgnoreCase(text.substr(0, phrase.text.size()), phrase.text)) {
                Add(phrase.field, text.substr(phrase.text.size()), false);
                return;
            }
        }
    }
}

void Reader::Labelled(const LabelledLine& line, std::size_t indent) {
    const auto tables = line.bracket ? port43::BracketTables() : port43::ColonTables();
    const Kind started = port43::StartedKind(tables, line.label);
    if (started != Kind::keep) {
        const Label* opener = port43::FindLabel(tables, line.label, started);
        const bool names =
            opener && (opener->role == Role::recordName || opener->role == Role::hostName);
        // An RPSL or ARIN object starts on its paragraph's first line
        // (LACNIC's inetnum holds an "aut-num:" line, DNS Belgium's
        // contacts an "Organisation:"); a record, and the bracketed formats'
        // objects after their heading line, wherever they stand.
        if (paragraphLines_ == 0 || names || line.bracket) {
            EndContact();
            kind_ = started;
            if (kind_ == Kind::network || kind_ == Kind::asNumber) {
                if (groupHasNetwork_) ++group_;
                groupHasNetwork_ = true;
                networkGroup_ = group_;
                record_ = 0;
            }
        }
    }
    const Label* label = port43::FindLabel(tables, line.label, kind_);
    if (!label) return;
    const std::string_view value = query::Trim(line.value);
    if (value.empty()) {
        if (label->role != Role::start) block_ = Block{label, indent};
        return;
    }
    Emit(*label, value, indent);
}

void Reader::BlockLine(std::string_view text) {
    const Label& label = *block_->label;
    std::string_view value = text;
    if (const auto part = ColonLine(text); part && IsWordLabel(part->label)) {
        const auto names = port43::BlockNameLabels();
        if (std::none_of(names.begin(), names.end(), [&](std::string_view name) {
                return port43::SameLabel(name, part->label);
            }))
            return;  // "URL: http://...", "Website: ..." under a registrar's name
        value = query::Trim(part->value);
        if (value.empty()) return;
    }
    if (label.field == Field::abuse) {
        // SIDN's "Abuse Contact:" lists a phone, then a mail address.
        Emit(label, value, block_->indent, value.find('@') == std::string_view::npos);
    } else if (ListField(label.field)) {
        Emit(label, value, block_->indent);
    } else if (!block_->taken) {
        block_->taken = true;
        Emit(label, value, block_->indent);
    }
}

void Reader::Emit(const Label& label, std::string_view value, std::size_t indent, bool fallback) {
    switch (label.role) {
        case Role::recordName:
        case Role::hostName:
            StartRecord(value);
            return;
        case Role::recordAlias:
            if (NamedByQuery(value)) recordMatched_[record_] = true;
            return;
        case Role::handle:
            contactHandle_ = port43::CleanValue(value);
            return;
        case Role::handleName:
            if (contact_.name.empty()) contact_.name = port43::CleanValue(value);
            return;
        case Role::handleMail:
            if (contact_.mail.empty()) contact_.mail = port43::CleanValue(value);
            return;
        case Role::handleRef: {
            std::string handle = port43::CleanValue(value);
            if (handle.empty()) return;
            items_.push_back({label.field, {}, false, false, record_, group_, std::move(handle)});
            return;
        }
        case Role::start:
            return;
        case Role::rangeOrCidr:
            if (value.find('/') == std::string_view::npos) {
                Add(Field::range, value, false);
                return;
            }
            [[fallthrough]];
        case Role::cidrList: {
            const std::string cleaned = port43::CleanValue(value);
            std::string_view rest = cleaned;
            while (!rest.empty()) {
                const std::size_t comma = rest.find(',');
                Add(Field::cidr, rest.substr(0, comma), false);
                if (comma == std::string_view::npos) break;
                rest.remove_prefix(comma + 1);
            }
            return;
        }
        case Role::jprsState:
            Add(Field::status, value, false);
            if (const std::string_view expiry = port43::JprsStateExpiry(value); !expiry.empty())
                Add(Field::expires, expiry, true);
            return;
        case Role::value:
        case Role::fallback:
            // JPRS's [Signing Key] goes on over the lines below it.
            if (Add(label.field, value, fallback || label.role == Role::fallback) &&
                label.field == Field::dnssec)
                join_ = {items_.size() - 1, indent};
            return;
    }
}

bool Reader::Add(Field field, std::string_view raw, bool fallback) {
    std::string value = port43::CleanValue(raw);
    if (value.empty()) return false;
    const bool redacted = IsRedacted(value);
    if (!redacted) {
        if (field == Field::status) value = std::string(port43::StatusWithoutUrl(value));
        if (field == Field::nameServer) value = std::string(port43::FirstWord(value));
        if (field == Field::registrarIanaId &&
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
    }
    items_.push_back({field, std::move(value), redacted, fallback, record_, group_, {}});
    return true;
}

std::vector<RawFact> Reader::Facts() {
    EndContact();
    std::vector<Item> kept;
    kept.reserve(items_.size());
    for (Item& item : items_) {
        if (!recordMatched_[item.record]) continue;
        // ARIN's answers give the less specific network first; RIRs add
        // routes and other networks' objects after the one asked about.
        if (networkGroup_ && IsNetworkField(item.field) && item.group != *networkGroup_) continue;
        if (!item.handle.empty()) {
            const auto contact = contacts_.find(item.handle);
            if (contact == contacts_.end()) continue;
            std::string value = port43::CleanValue(
                item.field == Field::abuse ? contact->second.mail : contact->second.name);
            if (value.empty()) continue;
            item.redacted = IsRedacted(value);
            item.value = std::move(value);
        }
        kept.push_back(std::move(item));
    }

    std::array<bool, kFieldCount> given{};
    for (const Item& item : kept) {
        if (!item.fallback) given[static_cast<std::size_t>(item.field)] = true;
    }
    std::array<bool, kFieldCount> fallbackTaken{};
    // A value an answer repeats (APNIC's abuse address in three objects,
    // KISA's name servers in both languages) is one fact.
    std::array<std::unordered_set<std::string>, kFieldCount> seen;
    std::vector<RawFact> facts;
    for (Item& item : kept) {
        const auto field = static_cast<std::size_t>(item.field);
        if (item.fallback) {
            if (given[field] || fallbackTaken[field]) continue;
            fallbackTaken[field] = true;
        }
        if (!seen[field].insert(query::ToLowerAscii(StripFinalDot(item.value))).second) continue;
        facts.push_back({item.field, std::move(item.value), item.redacted});
    }
    return facts;
}

}  // namespace

std::vector<RawFact> ReadPort43Facts(const query::TLines& answer, std::string_view query) {
    Reader reader(query);
    const std::size_t lines = std::min(answer.size(), kMaxScannedLines);
    for (std::size_t i = 0; i < lines; ++i) reader.Line(answer[i]);
    return reader.Facts();
}

}  // namespace torvane::summary
