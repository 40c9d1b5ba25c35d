#include "view/widget/report_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace torvane::view {

QFont ReportFont() {
    const QStringList families = QFontDatabase::families();
    QFont font;
    if (families.contains(QStringLiteral("ＭＳ ゴシック")) ||
        families.contains(QStringLiteral("MS Gothic"))) {
        font.setFamily(QStringLiteral("ＭＳ ゴシック"));
    } else if (families.contains(QStringLiteral("IPAGothic"))) {
        font.setFamily(QStringLiteral("IPAGothic"));
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    font.setPixelSize(17);
    font.setBold(true);
    font.setFixedPitch(true);
    // The view places every character on its own cell, so kerning would only shift glyphs.
    font.setKerning(false);
    return font;
}

}  // namespace torvane::view
