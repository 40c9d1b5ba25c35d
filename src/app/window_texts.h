#pragma once
// Every text the window shows of its own (the run's texts live in
// run/run_texts). UTF-8, as the widgets take them.

namespace torvane::app::texts {

// The caption "IANA・RDAPで補完" in the two pieces it may be set on two lines as.
inline constexpr char kFallbackCaptionHead[] = "IANA・RDAP";
inline constexpr char kFallbackCaptionTail[] = "で補完";
// A hand-off to the desktop that nothing took: "<what> を開けませんでした".
inline constexpr char kCannotOpenSuffix[] = " を開けませんでした";
// The user guide shown in a window of our own when no desktop program opens it.
inline constexpr char kReadmeTitle[] = "ユーザーガイド";
// The report's find bar.
inline constexpr char kFindLabel[] = "検索:";
inline constexpr char kFindNext[] = "次へ";
inline constexpr char kFindPrevious[] = "前へ";
inline constexpr char kFindNotFound[] = "見つかりません";

}  // namespace torvane::app::texts
