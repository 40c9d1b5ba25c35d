// The faces Torvane draws its Japanese texts with: the report's fixed-pitch font and the window's
// proportional font.
//
// Faces are chosen by what they draw, never by one spelling of a family name: fontconfig names
// the same family "IPAGothic" or "IPAゴシック" by the locale, and a Japanese family may lack
// Latin letters altogether ("Droid Sans Fallback"). Every choice asks the face itself whether it
// draws each character of kFaceProbe.
#pragma once

#include <QFont>
#include <string_view>
#include <vector>

namespace torvane::view {

// What a face must draw to show a report: a Latin letter, a digit, kana and a kanji.
inline constexpr std::u16string_view kFaceProbe = u"A1あ漢";

// Whether `font`, as the font system resolves it, draws every character of `probe`.
bool DrawsAll(const QFont& font, std::u16string_view probe = kFaceProbe);

// The report's font, 17 pixels high and bold: the first face that draws all of kFaceProbe among
// "ＭＳ ゴシック", IPA Gothic (under any of its names), the Japanese faces that keep the cell grid
// (Latin letters one cell, kana two, measured), the other Japanese faces, and the desktop's
// fixed-pitch font. When none draws them all, the first Japanese face that draws kana and kanji
// (ReportFallbackFonts then supplies the rest); without any, the desktop's fixed-pitch font.
QFont ReportFont();

// The faces, in order, that draw what ReportFont() lacks, character by character: the other
// Japanese faces (those that keep the cell grid first), the desktop's fixed-pitch font, then for
// each other writing system the font database knows (Hangul, Chinese, Thai, Arabic, Hebrew,
// Devanagari, Latin, ...) the first two faces it lists as covering it, fixed-pitch ones first.
// Same size and weight as ReportFont(); no family twice, ReportFont()'s own not at all.
std::vector<QFont> ReportFallbackFonts();

// The window's font at `pixels` high: "ＭＳ Ｐゴシック", else IPA PGothic, else the first
// proportional Japanese face that draws all of kFaceProbe, else the desktop's general font (whose
// Japanese Qt's own fallback supplies).
QFont WindowFont(int pixels);

}  // namespace torvane::view
