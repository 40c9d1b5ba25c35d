#pragma once
// The summary as report lines: a heading, then one line per value with its
// label in an aligned column (display width: a wide character counts two),
// a value, and its sources.
//
//   {登録情報}
//
//   レジストラ    : MarkMonitor Inc.  [whois.markmonitor.com ポート43, rdap.markmonitor.com RDAP]
//   有効期限      : 2028-09-13T07:00:00+0000 (2028-09-13 16:00 JST) 残り 644 日  [...]
//   状態          : clientDeleteProhibited (削除禁止: レジストラ)  [...]
//
// Dates show the server's text, the JST date and, for the expiry, the days
// left; statuses their gloss. An expiry within kExpirySoonDays or past is
// marked in words inside a lenticular bracket ("【期限まで 12 日】",
// "【期限切れ】"), which the report view colours as a warning.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "summary/facts.h"

namespace torvane::summary {

inline constexpr std::string_view kSummaryTitle = "{登録情報}";
inline constexpr long long kExpirySoonDays = 30;

// Nothing for an empty summary. Otherwise the title, an empty line and the
// fact lines, with an empty line after the last. UTF-8, no control
// characters.
std::vector<std::string> SummaryLines(const Summary& summary, std::chrono::sys_seconds now);

}  // namespace torvane::summary
