// Painting of TTextView: rows on the cell grid, coloured by token class.
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <optional>

#include "unicode/utf8_walk.h"
#include "view/widget/cell_chars.h"
#include "view/widget/face_chain.h"
#include "view/widget/shaped_run.h"
#include "view/widget/text_view.h"

namespace torvane::view {
namespace {

constexpr QRgb kMaroon = qRgb(128, 0, 0);
constexpr QRgb kTeal = qRgb(0, 128, 128);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kWarningRed = qRgb(204, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr quint32 kGlyphUnknown = ~quint32{0};

}  // namespace

TTextView::Style TTextView::styleOf(const Token* token) const {
    const QRgb text = windowText_.rgb();
    if (token == nullptr) return {fontColor_.rgb(), true, false};
    switch (token->cls) {
        case TokenClass::word:
        case TokenClass::japaneseText:
        case TokenClass::symbol:
        case TokenClass::quotedString:
            return {text, false, false};
        case TokenClass::number:
            return {kMaroon, false, false};
        case TokenClass::reservedWord:
            return {text, true, false};
        case TokenClass::comment:
            return {kTeal, true, false};
        case TokenClass::url:
            return {kBlue, false, true};
        case TokenClass::mailAddress:
            return {kBlue, false, false};
        case TokenClass::bracketRegion:
            return {token->region == Region::lenticular ? kNavy : fontColor_.rgb(), true, false};
        case TokenClass::warning:
            return {kWarningRed, true, false};
        case TokenClass::tab:
            break;
    }
    return {fontColor_.rgb(), true, false};
}

QRawFont TTextView::faceFor(char32_t c, bool bold) {
    const TFaceChain::Glyph found = faces_.glyphOf(bold, c);
    return found.glyph == 0 ? QRawFont() : faces_.face(bold, found.face);
}

bool TTextView::addGlyph(QRgb color, bool bold, char32_t unicode, QPointF at) {
    const TFaceChain::Glyph found = faces_.glyphOf(bold, unicode);
    if (found.glyph == 0) return false;
    auto batch = std::find_if(batches_.begin(), batches_.end(), [&](const GlyphBatch& b) {
        return b.color == color && b.bold == bold && b.face == found.face;
    });
    if (batch == batches_.end()) {
        batches_.push_back(GlyphBatch{color, bold, found.face, {}, {}});
        batch = batches_.end() - 1;
    }
    batch->glyphs.push_back(found.glyph);
    batch->positions.push_back(at);
    return true;
}

void TTextView::flushGlyphs(QPainter& painter) {
    for (GlyphBatch& batch : batches_) {
        if (batch.glyphs.isEmpty()) continue;
        QGlyphRun run;
        run.setRawFont(faces_.face(batch.bold, batch.face));
        run.setGlyphIndexes(batch.glyphs);
        run.setPositions(batch.positions);
        painter.setPen(QColor::fromRgb(batch.color));
        painter.drawGlyphRun(QPointF(0, 0), run);
        batch.glyphs.clear();
        batch.positions.clear();
    }
}

void TTextView::drawPlaceholder(QPainter& painter, QRect cell, const QColor& color) {
    // A hollow box inside the cell, so that a control character is seen and never dropped.
    const QRect box(cell.left() + 1, cell.top() + 3, cell.width() - 3, ascent_ - 4);
    painter.setPen(color);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
}

void TTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), background_);
    if (count() == 0) return;
    const std::size_t top = topRow();
    const int height = viewport()->height();
    for (std::size_t row = top; row < layout_.rowCount(); ++row) {
        const int y = kTopMargin + static_cast<int>(row - top) * rowHeight_;
        if (y >= height) break;
        if (y + rowHeight_ <= event->rect().top() || y > event->rect().bottom()) continue;
        paintRow(painter, layout_.rowAt(row), y);
    }
    if (hasFocus() && selLength() == 0) {
        const TextPos pos = layout_.posAt(caret_);
        const std::size_t row = layout_.rowOf(pos);
        if (row >= top && row <= top + static_cast<std::size_t>(visibleRows())) {
            const int y = kTopMargin + static_cast<int>(row - top) * rowHeight_;
            painter.fillRect(QRect(caretX(layout_.rowAt(row), pos.offset), y, 2, rowHeight_ - 1),
                             windowText_);
        }
    }
}

void TTextView::paintRow(QPainter& painter, const RowRef& ref, int y) {
    const std::string_view text = layout_.line(ref.line);
    const std::vector<Token>& tokens = tokensOf(ref.line);
    const std::size_t lineStart = layout_.positionOf({ref.line, 0});
    const std::size_t selFrom = selStart();
    const std::size_t selTo = selFrom + selLength();
    const int x0 = textAreaLeft();
    const qreal baseline = y + ascent_;
    auto token = std::lower_bound(tokens.begin(), tokens.end(), ref.row.start,
                                  [](const Token& t, std::size_t pos) { return t.end() <= pos; });
    bool anySelected = false;
    // The shaped run being gathered: its bytes of the line, its cells on the row and how it is
    // drawn. Spaces after it join it only when more of it follows, so words of a right-to-left
    // phrase read right to left together; trailing spaces are dropped, having no ink.
    struct Run {
        std::size_t from = 0, to = 0, spacesFrom = 0;
        int left = 0, right = 0, spacesLeft = 0;
        QRgb color = 0;
        bool bold = false;
    };
    std::optional<Run> run;
    const auto endRun = [&] {
        if (!run) return;
        if (run->spacesFrom < run->to) {
            run->to = run->spacesFrom;
            run->right = run->spacesLeft;
        }
        const std::string_view shaped = text.substr(run->from, run->to - run->from);
        const std::uint16_t face =
            faces_.glyphOf(run->bold, unicode::DecodeUtf8At(shaped, 0).value).face;
        painter.setPen(QColor::fromRgb(run->color));
        DrawShapedRun(painter, faces_.runFont(run->bold, face), shaped,
                      QRect(run->left, y, run->right - run->left, rowHeight_), baseline);
        run.reset();
    };

    forEachCharOfRow(
        text, ref.row, wrapWidth(),
        [&](std::size_t pos, std::size_t length, std::size_t cell, std::size_t cells) {
            while (token != tokens.end() && token->end() <= pos) ++token;
            const Token* current = token != tokens.end() && token->start <= pos ? &*token : nullptr;
            const Style style = styleOf(current);
            const std::size_t at = lineStart + pos;
            const bool selected = at >= selFrom && at < selTo;
            const QRect box(x0 + static_cast<int>(cell) * cellWidth_, y,
                            static_cast<int>(cells) * cellWidth_, rowHeight_);
            const QRgb color = selected ? kWhite : style.color;
            if (selected) {
                painter.fillRect(box, QColor::fromRgb(kNavy));
                anySelected = true;
            }
            const bool joinsRun = run && run->color == color && run->bold == style.bold;
            if (text[pos] == ' ' && joinsRun) {
                if (run->spacesFrom == run->to) {
                    run->spacesFrom = pos;
                    run->spacesLeft = box.left();
                }
                run->to = pos + 1;
                run->right = box.right() + 1;
            } else if (text[pos] != '\t') {
                const char32_t unicode = cellChars_->unicodeOf(text, pos, length);
                if (unicode != TCellChars::kPlaceholder &&
                    (static_cast<unsigned char>(text[pos]) >= 0x80 || length > 1) &&
                    NeedsShaping(text.substr(pos, length))) {
                    if (!joinsRun) {
                        endRun();
                        run = Run{
                            .from = pos, .left = box.left(), .color = color, .bold = style.bold};
                    }
                    run->to = run->spacesFrom = pos + length;
                    run->right = run->spacesLeft = box.right() + 1;
                } else {
                    endRun();
                    if (unicode == TCellChars::kPlaceholder ||
                        (!addGlyph(color, style.bold, unicode, QPointF(box.left(), baseline)) &&
                         unicode != U' ' && unicode != U'\u3000')) {
                        drawPlaceholder(painter, box, QColor::fromRgb(color));
                    }
                }
            } else {
                endRun();
            }
            if (style.underline) {
                painter.fillRect(QRect(box.left(), static_cast<int>(baseline) + 1, box.width(), 1),
                                 QColor::fromRgb(color));
            }
            return true;
        });
    endRun();

    // The row's end counts as selected when the selection runs on past it: over the line break
    // after a line's last row, or into the next row of a wrapped line.
    const std::size_t rowEnd = lineStart + ref.row.start + ref.row.length;
    const bool lastRow = ref.row.start + ref.row.length == text.size();
    const bool endSelected = lastRow ? ref.line + 1 < count() && selFrom <= rowEnd && selTo > rowEnd
                                     : selFrom < rowEnd && selTo > rowEnd;
    if (endSelected) {
        const int endX = x0 + static_cast<int>(ref.row.cells) * cellWidth_;
        painter.fillRect(QRect(endX, y, viewport()->width() - endX, rowHeight_),
                         QColor::fromRgb(kNavy));
        anySelected = true;
    }
    flushGlyphs(painter);
    emit rowDrawn(TDrawnRow{&painter, std::string_view(text).substr(ref.row.start, ref.row.length),
                            ref.row.cells, x0, y, anySelected});
}

void TTextView::drawTextOverBackground(QPainter& painter, int x, int y, std::string_view text) {
    int cells = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const unicode::GraphemeCluster cluster = reportClusterAt(text, pos);
        if (text[pos] != ' ') {
            const char32_t unicode = cellChars_->unicodeOf(text, pos, cluster.length);
            if (unicode != TCellChars::kPlaceholder) {
                addGlyph(fontColor_.rgb(), true, unicode,
                         QPointF(x + cells * cellWidth_, y + ascent_));
            }
        }
        cells += cluster.cells;
        pos += cluster.length;
    }
    painter.fillRect(QRect(x, y, cells * cellWidth_, rowHeight_), background_);
    flushGlyphs(painter);
}

}  // namespace torvane::view
