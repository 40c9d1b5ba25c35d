#pragma once
// The summary as report lines: a heading, then one line per value with its
// label in an aligned column (display width: a wide character counts two),
// a value, and its sources.
//
//   {登録情報}
//
//   レジストラ     : MarkMonitor Inc.  [whois.markmonitor.com ポート43, rdap.markmonitor.com RDAP]
//   有効期限       : 2028-09-14T04:00:00Z (2028-09-14 13:00 JST) 残り 645 日  [...]
//                  : 2028-09-13T00:00:00-0700 (2028-09-13 16:00 JST) 残り 644 日  [...]
//   状態           : clientDeleteProhibited 「削除禁止 (レジストラ設定)」  [...]
//
// The label column is as wide as the widest label of any summary, and one
// space. Dates show the server's text, the JST date (left out where the
// server writes Japan time already, as JPRS and JPNIC do, or where it is the
// text itself, as for "2028-09-14") and, for the
// expiry, the days left; statuses their gloss in corner brackets and no
// trailing URL (the answer below keeps it). An expiry within
// kExpirySoonDays or past is marked in words inside a lenticular bracket
// ("【期限まで 12 日】", "【期限切れ】"), which the report view colours as a
// warning. A fact's further values (list items, or the values of sources
// that disagree) have their own lines, the label column left blank. A
// redacted value shows kRedactedText. Sources are "[server ポート43, server
// RDAP]" in the run's order.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "summary/facts.h"

namespace torvane::summary {

inline constexpr std::string_view kSummaryTitle = "{登録情報}";
inline constexpr long long kExpirySoonDays = 30;

// The warning marks: "【期限まで 12 日】" (kExpirySoonOpen, the days,
// kExpirySoonClose) for an expiry 0 to kExpirySoonDays days ahead, which
// stands where "残り N 日" would, and kExpiredMark for one past. Each mark
// starts with kWarningMarkStart and ends at the first kWarningMarkEnd after
// it.
inline constexpr std::string_view kWarningMarkStart = "【期限";
inline constexpr std::string_view kWarningMarkEnd = "】";
inline constexpr std::string_view kExpirySoonOpen = "【期限まで ";
inline constexpr std::string_view kExpirySoonClose = " 日】";
inline constexpr std::string_view kExpiredMark = "【期限切れ】";
// What a redacted value shows, in place of the server's text.
inline constexpr std::string_view kRedactedText = "(非公開)";

// The Japanese label of `field` ("有効期限"), as the lines and the JSON show it.
std::string_view FieldLabel(Field field);

// Nothing for an empty summary. Otherwise the title, an empty line and the
// fact lines, with an empty line after the last. UTF-8, no control
// characters.
std::vector<std::string> SummaryLines(const Summary& summary, std::chrono::sys_seconds now);

}  // namespace torvane::summary
