#include "summary/summary_lines.h"

#include <algorithm>
#include <array>

#include "dates/dates.h"
#include "summary/port43_values.h"
#include "summary/status_gloss.h"
#include "summary/value_text.h"
#include "unicode/cells.h"

namespace torvane::summary {
namespace {

constexpr std::array<std::string_view, kFieldCount> kLabels = {
    "レジストラ",      // registrar
    "IANA ID",         // registrarIanaId
    "登録者",          // registrant
    "登録日",          // created
    "更新日",          // updated
    "有効期限",        // expires
    "状態",            // status
    "ネームサーバ",    // nameServer
    "DNSSEC",          // dnssec
    "範囲",            // range
    "CIDR",            // cidr
    "ネットワーク名",  // netName
    "AS番号",          // asNumber
    "AS名",            // asName
    "保有者",          // holder
    "国",              // country
    "割当日",          // allocated
    "不正利用窓口",    // abuse
};

// One column for every summary, wide enough for the widest label, so the
// values of a domain, a network and an AS number start at the same place.
std::size_t LabelColumn() {
    std::size_t widest = 0;
    for (const std::string_view label : kLabels)
        widest = std::max(widest, unicode::TextCells(label));
    return widest;
}

std::string DateText(Field field, const std::string& text, std::chrono::sys_seconds now) {
    std::string out = text;
    const auto date = dates::ParseDate(text);
    if (!date) return out;
    // Japan time already, or a day written as JstText writes it: nothing to add.
    const std::string jst = dates::JstText(*date);
    if (!date->japanTime && jst != text) out += " (" + jst + ")";
    if (field != Field::expires) return out;
    const long long days = dates::DaysUntil(*date, now);
    out += ' ';
    if (days < 0) {
        out += kExpiredMark;
    } else if (days <= kExpirySoonDays) {
        out += kExpirySoonOpen;
        out += std::to_string(days);
        out += kExpirySoonClose;
    } else {
        out += "残り " + std::to_string(days) + " 日";
    }
    return out;
}

std::string ValueLine(Field field, const Value& value, std::chrono::sys_seconds now) {
    if (value.redacted) return std::string(kRedactedText);
    const std::string text = ValueText(value.text);
    if (DateField(field)) return DateText(field, text, now);
    if (field == Field::status) {
        std::string line(port43::StatusWithoutUrl(text));
        // Corner brackets: the glosses hold parentheses of their own.
        if (const auto gloss = StatusGloss(text)) line += " 「" + std::string(*gloss) + "」";
        return line;
    }
    return text;
}

std::string SourcesText(const std::vector<Source>& sources) {
    std::string out = "[";
    for (const Source& source : sources) {
        if (out.size() > 1) out += ", ";
        out += ValueText(source.server);
        out += source.origin == Origin::rdap ? " RDAP" : " ポート43";
    }
    out += ']';
    return out;
}

}  // namespace

std::string_view FieldLabel(Field field) {
    const auto index = static_cast<std::size_t>(field);
    return index < kLabels.size() ? kLabels[index] : std::string_view();
}

std::vector<std::string> SummaryLines(const Summary& summary, std::chrono::sys_seconds now) {
    std::vector<std::string> lines;
    if (summary.Empty()) return lines;
    lines.emplace_back(kSummaryTitle);
    lines.emplace_back();
    const std::size_t column = LabelColumn();
    for (const Fact& fact : summary.facts) {
        const std::string_view label = FieldLabel(fact.field);
        bool first = true;
        for (const Value& value : fact.values) {
            std::string line;
            const std::string_view shown = first ? label : std::string_view();
            line += shown;
            line.append(column - unicode::TextCells(shown), ' ');
            line += " : ";
            line += ValueLine(fact.field, value, now);
            if (!value.sources.empty()) {
                line += "  ";
                line += SourcesText(value.sources);
            }
            lines.push_back(std::move(line));
            first = false;
        }
    }
    lines.emplace_back();
    return lines;
}

}  // namespace torvane::summary
