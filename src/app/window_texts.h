#pragma once
// Every text the window shows of its own (the run's texts live in
// run/run_texts). UTF-8, as the widgets take them.

namespace torvane::app::texts {

// The check box of today's registries.
inline constexpr char kFallbackCaption[] = "IANA・RDAPで補完";
// The accessible name of the manual server box.
inline constexpr char kHostEditName[] = "WHOISサーバ";
// A hand-off to the desktop that nothing took: "<what> を開けませんでした".
inline constexpr char kCannotOpenSuffix[] = " を開けませんでした";
// A saved report: "<path> に保存しました".
inline constexpr char kSavedSuffix[] = " に保存しました";
// The user guide shown in a window of our own when no desktop program opens it.
inline constexpr char kReadmeTitle[] = "ユーザーガイド";
// The report's find bar.
inline constexpr char kFindLabel[] = "検索:";
inline constexpr char kFindNext[] = "次へ";
inline constexpr char kFindPrevious[] = "前へ";
inline constexpr char kFindNotFound[] = "見つかりません";
inline constexpr char kFindWrappedToTop[] = "末尾まで検索したので先頭に戻りました";
inline constexpr char kFindWrappedToBottom[] = "先頭まで検索したので末尾に戻りました";
inline constexpr char kFindClose[] = "検索を閉じる";

}  // namespace torvane::app::texts
