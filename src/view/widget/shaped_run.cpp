#include "view/widget/shaped_run.h"

#include <QPainter>
#include <QTextLayout>

#include "unicode/utf8_walk.h"

namespace torvane::view {
namespace {

bool IsHalfWidthVoicedMark(char32_t c) { return c == 0xFF9E || c == 0xFF9F; }

// The scripts Qt's shaper must see whole: their letters join or change with their neighbours,
// their marks are placed on or around the base, or their order on screen is not the order of the
// text. The first code point of a cluster decides; a cluster of marks alone is caught by its
// length or, at a line's start, drawn as its first mark like any other one-character cluster.
bool IsComplexScript(char32_t c) {
    switch (QChar::script(c)) {
        case QChar::Script_Arabic:
        case QChar::Script_Hebrew:
        case QChar::Script_Syriac:
        case QChar::Script_Thaana:
        case QChar::Script_Nko:
        case QChar::Script_Samaritan:
        case QChar::Script_Mandaic:
        case QChar::Script_Devanagari:
        case QChar::Script_Bengali:
        case QChar::Script_Gurmukhi:
        case QChar::Script_Gujarati:
        case QChar::Script_Oriya:
        case QChar::Script_Tamil:
        case QChar::Script_Telugu:
        case QChar::Script_Kannada:
        case QChar::Script_Malayalam:
        case QChar::Script_Sinhala:
        case QChar::Script_Thai:
        case QChar::Script_Lao:
        case QChar::Script_Tibetan:
        case QChar::Script_Myanmar:
        case QChar::Script_Khmer:
        case QChar::Script_Mongolian:
        case QChar::Script_Tifinagh:
        case QChar::Script_Javanese:
        case QChar::Script_Balinese:
        case QChar::Script_TaiTham:
        case QChar::Script_TaiViet:
        case QChar::Script_NewTaiLue:
        case QChar::Script_Chakma:
        case QChar::Script_SylotiNagri:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool NeedsShaping(std::string_view cluster) {
    const unicode::DecodedChar first = unicode::DecodeUtf8At(cluster, 0);
    if (first.value < 0x0590) {
        // Below Hebrew only a cluster of several code points needs the shaper.
        if (first.length == cluster.size()) return false;
    } else if (IsComplexScript(first.value)) {
        return true;
    }
    for (std::size_t pos = first.length; pos < cluster.size();) {
        const unicode::DecodedChar next = unicode::DecodeUtf8At(cluster, pos);
        if (!IsHalfWidthVoicedMark(next.value)) return true;
        pos += next.length;
    }
    return false;
}

void DrawShapedRun(QPainter& painter, const QFont& font, std::string_view run, QRect cells,
                   qreal baseline) {
    const QString text = QString::fromUtf8(run.data(), static_cast<qsizetype>(run.size()));
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    // Laid out from x = 0 whatever the direction; the run's place in its cells is decided below.
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout.setTextOption(option);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setLineWidth(1e6);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();

    const qreal natural = line.naturalTextWidth();
    const qreal room = cells.width();
    painter.save();
    // The run's ink never leaves its cells, whatever the shaper made of it.
    painter.setClipRect(cells, Qt::IntersectClip);
    qreal x = cells.left();
    if (natural > room && natural > 0) {
        painter.translate(cells.left(), 0);
        painter.scale(room / natural, 1);
        x = 0;
    } else if (text.isRightToLeft()) {
        x += room - natural;
    }
    layout.draw(&painter, QPointF(x, baseline - line.ascent()));
    painter.restore();
}

}  // namespace torvane::view
