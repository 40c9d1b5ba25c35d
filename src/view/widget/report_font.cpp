#include "view/widget/report_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace torvane::view {
namespace {

// The view draws through QRawFont, which has no per-character fallback: the
// family itself must hold the Japanese glyphs.
QString JapaneseFixedFamily() {
    const QStringList families = QFontDatabase::families();
    for (const char* preferred : {"ＭＳ ゴシック", "MS Gothic", "IPAGothic"}) {
        if (families.contains(QString::fromUtf8(preferred))) return QString::fromUtf8(preferred);
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : japanese) {
        if (QFontDatabase::isFixedPitch(family)) return family;
    }
    // Some CJK families are not marked fixed-pitch though their kana and
    // kanji are; any Japanese family draws better than boxes.
    return japanese.value(0);
}

}  // namespace

QFont ReportFont() {
    QFont font;
    const QString family = JapaneseFixedFamily();
    if (family.isEmpty()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        font.setFamily(family == QStringLiteral("MS Gothic") ? QStringLiteral("ＭＳ ゴシック")
                                                             : family);
    }
    font.setPixelSize(17);
    font.setBold(true);
    font.setFixedPitch(true);
    // The view places every character on its own cell, so kerning would only shift glyphs.
    font.setKerning(false);
    return font;
}

}  // namespace torvane::view
