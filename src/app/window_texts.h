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
// The save dialog's codes, and the question before a Shift_JIS file would lose characters.
inline constexpr char kSaveFilterUtf8[] = "テキストファイル UTF-8 (*.txt)";
inline constexpr char kSaveFilterShiftJis[] = "テキストファイル Shift_JIS (*.txt)";
inline constexpr char kConfirmTitle[] = "確認";
inline constexpr char kShiftJisLosesCharacters[] =
    "このレポートには Shift_JIS で書けない文字があり、保存すると「?」に置き換わります。"
    "Shift_JIS で保存しますか?";
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
