#include "view/widget/report_font.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace torvane::view {
namespace {

constexpr int kReportPixels = 17;
constexpr std::u16string_view kJapaneseProbe = u"あ漢";
// How many faces each script adds to the report's fallbacks: enough for one that fits the grid
// and one that draws what it lacks, without loading every face of a large desktop.
constexpr qsizetype kFacesPerScript = 2;

QFont Face(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

// Families asked for by name: only those installed under that name or one of its other names
// (QFontDatabase::hasFamily resolves them), so that a missing one is never stood in for by
// whatever the font system substitutes.
QStringList Installed(std::initializer_list<const char*> names) {
    QStringList found;
    for (const char* name : names) {
        const QString family = QString::fromUtf8(name);
        if (QFontDatabase::hasFamily(family)) found << family;
    }
    return found;
}

// The view puts a Latin letter on one cell and a kana on two, whatever the advances: a face whose
// advances agree with that grid reads evenly.
bool KeepsCellGrid(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return false;
    const QString probe = QStringLiteral("iW0") + QChar(u'あ');
    QList<quint32> glyphs = raw.glyphIndexesForString(probe);
    if (glyphs.size() != probe.size()) return false;
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    const qreal cell = advances[2].x();
    const auto near = [](qreal a, qreal b) { return std::abs(a - b) < 0.5; };
    return cell > 0 && near(advances[0].x(), cell) && near(advances[1].x(), cell) &&
           near(advances[3].x(), 2 * cell);
}

QString FirstDrawing(const QStringList& families, int pixels, std::u16string_view probe) {
    for (const QString& family : families)
        if (DrawsAll(Face(family, pixels), probe)) return family;
    return {};
}

QFont ReportStyle(QFont font) {
    font.setPixelSize(kReportPixels);
    font.setBold(true);
    font.setFixedPitch(true);
    // The view places every character on its own cell, so kerning would only shift glyphs.
    font.setKerning(false);
    return font;
}

QFont SystemFixed() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

QFont ChooseReportFont() {
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    QStringList gridded, others;
    for (const QString& family : japanese)
        (KeepsCellGrid(Face(family, kReportPixels)) ? gridded : others) << family;
    const QStringList order =
        Installed({"ＭＳ ゴシック", "MS Gothic", "IPAGothic"}) + gridded + others;
    if (const QString family = FirstDrawing(order, kReportPixels, kFaceProbe); !family.isEmpty())
        return ReportStyle(Face(family, kReportPixels));
    if (DrawsAll(SystemFixed())) return ReportStyle(SystemFixed());
    // No face draws it all: one for the Japanese, and the fallbacks for the rest.
    const QString japaneseOnly = FirstDrawing(japanese, kReportPixels, kJapaneseProbe);
    return ReportStyle(japaneseOnly.isEmpty() ? SystemFixed() : Face(japaneseOnly, kReportPixels));
}

}  // namespace

bool DrawsAll(const QFont& font, std::u16string_view probe) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return false;
    for (const char16_t c : probe)
        if (!raw.supportsCharacter(QChar(c))) return false;
    return true;
}

QFont ReportFont() {
    // Asking every Japanese face what it draws takes a while; the installed faces do not change
    // while the program runs.
    static const QFont chosen = ChooseReportFont();
    return chosen;
}

std::vector<QFont> ReportFallbackFonts() {
    const QString primary = QRawFont::fromFont(ReportFont()).familyName();
    QStringList chosen;
    const auto add = [&](const QString& family) {
        if (!family.isEmpty() && family != primary && !chosen.contains(family)) chosen << family;
    };
    // Japanese first, so that what the report's font lacks looks like it where it can.
    QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    std::stable_partition(japanese.begin(), japanese.end(), [](const QString& family) {
        return KeepsCellGrid(Face(family, kReportPixels));
    });
    for (const QString& family : japanese) add(family);
    add(QRawFont::fromFont(SystemFixed()).familyName());
    // Then, for every other script, the faces the font database says cover it, fixed-pitch
    // ones first: Hangul, Chinese, Thai, Arabic, Devanagari, accented Latin and the rest.
    for (int system = QFontDatabase::Latin; system < QFontDatabase::WritingSystemsCount; ++system) {
        const auto writing = static_cast<QFontDatabase::WritingSystem>(system);
        if (writing == QFontDatabase::Japanese) continue;
        QStringList families = QFontDatabase::families(writing);
        std::stable_partition(families.begin(), families.end(), [](const QString& family) {
            return QFontDatabase::isFixedPitch(family) || family.contains(QStringLiteral("Mono"));
        });
        for (const QString& family : families.mid(0, kFacesPerScript)) add(family);
    }
    std::vector<QFont> faces;
    for (const QString& family : chosen) faces.push_back(ReportStyle(Face(family, kReportPixels)));
    return faces;
}

QFont WindowFont(int pixels) {
    QStringList proportional;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese))
        if (!KeepsCellGrid(Face(family, pixels))) proportional << family;
    const QString family =
        FirstDrawing(Installed({"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"}) + proportional,
                     pixels, kFaceProbe);
    QFont font;
    if (!family.isEmpty()) font.setFamily(family);
    font.setPixelSize(pixels);
    return font;
}

}  // namespace torvane::view
