#include "view/widget/text_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QToolTip>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "encoding/code_page.h"
#include "unicode/properties.h"
#include "unicode/utf8_walk.h"
#include "view/widget/accessible_text.h"
#include "view/widget/cell_chars.h"
#include "view/widget/face_chain.h"
#include "view/widget/report_font.h"
#include "view/widget/text_view_accessible.h"

namespace torvane::view {

TTextView::TTextView(QWidget* parent)
    : QAbstractScrollArea(parent),
      faces_(TFaceChain::Program()),
      cellChars_(std::make_unique<TCellChars>()),
      accessibleText_(std::make_unique<TAccessibleText>(*this)) {
    InstallTextViewAccessibility();
    boldFont_ = ReportFont();
    regularFont_ = boldFont_;
    regularFont_.setBold(false);
    setFont(boldFont_);
    const QFontMetrics metrics(boldFont_);
    cellWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    rowHeight_ = metrics.height() + kLineGap;
    ascent_ = metrics.ascent();

    background_ = QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase);
    windowText_ = QGuiApplication::palette().color(QPalette::WindowText);
    fontColor_ = QColor(Qt::black);

    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);

    hintShower_ = [](const QPoint& globalPos, const QString& text, QWidget* owner) {
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(globalPos, text, owner);
        }
    };
    autoScrollTimer_.setInterval(50);
    connect(&autoScrollTimer_, &QTimer::timeout, this, &TTextView::autoScroll);
    updateScrollBar();
}

TTextView::~TTextView() = default;

// --- Lines ---

void TTextView::clear() {
    accessibleText_->aboutToClear();
    layout_.clear();
    accessibleText_->cleared();
    anchor_ = caret_ = 0;
    afterTextChange();
}

void TTextView::appendLine(std::string line) {
    layout_.append(std::move(line));
    accessibleText_->linesAppended();
    afterTextChange();
}

void TTextView::appendLines(std::span<const std::string> lines) {
    layout_.append(lines);
    accessibleText_->linesAppended();
    afterTextChange();
}

void TTextView::appendLines(query::TLines lines) {
    layout_.append(std::move(lines));
    accessibleText_->linesAppended();
    afterTextChange();
}

void TTextView::insertLine(std::size_t index, std::string line) {
    insertLines(index, query::TLines{line});
}

void TTextView::insertLines(std::size_t index, query::TLines lines) {
    const bool inside = index < count();
    const std::size_t before = layout_.textLength();
    const std::size_t at = inside ? layout_.positionOf({index, 0}) : before;
    layout_.insert(index, std::move(lines));
    accessibleText_->linesInserted(index);
    // Keep the caret and the selection on the same characters.
    if (inside) {
        const std::size_t grown = layout_.textLength() - before;
        if (anchor_ >= at) anchor_ += grown;
        if (caret_ >= at) caret_ += grown;
    }
    afterTextChange();
}

void TTextView::removeLines(std::size_t index, std::size_t count) {
    if (index > this->count() || count > this->count() - index) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    if (count == 0) return;
    const std::size_t from = layout_.positionOf({index, 0});
    const std::size_t to = index + count < this->count() ? layout_.positionOf({index + count, 0})
                                                         : layout_.textLength();
    accessibleText_->aboutToRemove(index, count);
    layout_.remove(index, count);
    accessibleText_->removedLines(index);
    const auto keep = [&](std::size_t& position) {
        if (position >= to) {
            position -= to - from;
        } else if (position > from) {
            position = from;
        }
    };
    keep(anchor_);
    keep(caret_);
    afterTextChange();
}

void TTextView::afterTextChange() {
    anchor_ = std::min(anchor_, layout_.textLength());
    caret_ = std::min(caret_, layout_.textLength());
    // A batch sets the scroll range once, at its end.
    if (!updating_) updateScrollBar();
    repaintText();
}

void TTextView::beginUpdate() {
    if (updating_) return;
    updating_ = true;
    viewport()->setUpdatesEnabled(false);
}

void TTextView::endUpdate() {
    if (!updating_) return;
    updating_ = false;
    viewport()->setUpdatesEnabled(true);
    updateScrollBar();
    // Painted now: a paint left to the event loop could find the next batch
    // begun and never show what this one made.
    if (viewport()->isVisible()) {
        viewport()->repaint();
    } else {
        viewport()->update();
    }
}

void TTextView::repaintText() {
    // Every change of the caret or the selection repaints.
    accessibleText_->caretMayHaveMoved();
    if (!updating_) viewport()->update();
}

void TTextView::caretToStart() {
    anchor_ = caret_ = 0;
    verticalScrollBar()->setValue(0);
    repaintText();
}

void TTextView::saveToFile(const std::filesystem::path& path, FileCode code) const {
    // The system's reason goes with the message, so the status bar says why.
    const auto reason = [] { return std::string(": ") + std::strerror(errno); };
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("ファイル " + path.string() + " を作成できません" + reason());
    for (const std::string_view line : layout_.lines()) {
        if (code == FileCode::shiftJis) {
            const std::string sjis = encoding::Utf16ToCp932(encoding::Utf8ToUtf16(line));
            out.write(sjis.data(), static_cast<std::streamsize>(sjis.size()));
        } else {
            out.write(line.data(), static_cast<std::streamsize>(line.size()));
        }
        out.write("\r\n", 2);
    }
    out.close();
    if (!out)
        throw std::runtime_error("ファイル " + path.string() + " に書き込めません" + reason());
}

bool TTextView::holdsCharsShiftJisLacks() const {
    for (const std::string_view line : layout_.lines()) {
        for (std::size_t pos = unicode::AsciiRunLength(line, 0); pos < line.size();) {
            const unicode::DecodedChar c = unicode::DecodeUtf8At(line, pos);
            if (!c.wellFormed || !unicode::IsInCp932(c.value)) return true;
            pos += c.length;
            pos += unicode::AsciiRunLength(line, pos);
        }
    }
    return false;
}

// --- Layout and scrolling ---

void TTextView::setWrapWidth(int cells) {
    if (!layout_.setWrapWidth(cells)) return;
    updateScrollBar();
    repaintText();
}

int TTextView::textAreaLeft() const {
    return kLeftMargin + kGutterLeftMargin + kGutterMarkWidth + kGutterRightMargin;
}

bool TTextView::verticalScrollBarShown() const {
    return verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
           (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
            verticalScrollBar()->maximum() > 0);
}

int TTextView::verticalScrollBarWidth() const { return verticalScrollBar()->sizeHint().width(); }

std::size_t TTextView::topRow() const {
    return static_cast<std::size_t>(std::max(0, verticalScrollBar()->value()));
}

void TTextView::setTopRow(std::size_t row) {
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(row, INT_MAX)));
}

void TTextView::scrollRows(int delta) {
    verticalScrollBar()->setValue(verticalScrollBar()->value() + delta);
}

int TTextView::visibleRows() const {
    return std::max(1, (viewport()->height() - kTopMargin) / rowHeight_);
}

void TTextView::updateScrollBar() {
    const std::size_t rows = layout_.rowCount();
    const auto visible = static_cast<std::size_t>(visibleRows());
    const std::size_t maximum = rows > visible ? rows - visible : 0;
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<std::size_t>(maximum, INT_MAX)));
    verticalScrollBar()->setPageStep(static_cast<int>(visible));
}

void TTextView::scrollCaretIntoView() { scrollIntoView(caret_); }

void TTextView::scrollIntoView(std::size_t position) {
    if (count() == 0) return;
    const std::size_t row = layout_.rowOf(layout_.posAt(position));
    const auto visible = static_cast<std::size_t>(visibleRows());
    if (row < topRow()) {
        setTopRow(row);
    } else if (row >= topRow() + visible) {
        setTopRow(row - visible + 1);
    }
}

void TTextView::scrollContentsBy(int, int) { repaintText(); }

void TTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
    if (size() != lastSize_) {
        lastSize_ = size();
        emit resized();
    }
}

// --- Hit tests ---

std::optional<RowRef> TTextView::rowAtY(int y) const {
    if (count() == 0 || y < kTopMargin) return std::nullopt;
    const std::size_t row = topRow() + static_cast<std::size_t>((y - kTopMargin) / rowHeight_);
    if (row >= layout_.rowCount()) return std::nullopt;
    return layout_.rowAt(row);
}

std::optional<TextPos> TTextView::charAt(const QPoint& point) const {
    if (point.x() < textAreaLeft()) return std::nullopt;
    const std::optional<RowRef> ref = rowAtY(point.y());
    if (!ref) return std::nullopt;
    const auto column = static_cast<std::size_t>((point.x() - textAreaLeft()) / cellWidth_);
    if (column >= ref->row.cells) return std::nullopt;
    const std::optional<std::size_t> offset =
        offsetAtCell(layout_.line(ref->line), ref->row, column, wrapWidth());
    if (!offset) return std::nullopt;
    return TextPos{ref->line, *offset};
}

const std::vector<Token>& TTextView::tokensOf(std::size_t line) const {
    if (tokensVersion_ != layout_.version() || tokensLine_ != line) {
        tokenizeInto(layout_.line(line), layout_.startStateOf(line), tokens_);
        tokensLine_ = line;
        tokensVersion_ = layout_.version();
    }
    return tokens_;
}

std::optional<TokenText> TTextView::tokenAt(const QPoint& point) const {
    const std::optional<TextPos> at = charAt(point);
    if (!at) return std::nullopt;
    const Token* token = findTokenAt(tokensOf(at->line), at->offset);
    if (token == nullptr) return std::nullopt;
    return TokenText{token->cls, token->region,
                     std::string(layout_.line(at->line).substr(token->start, token->length))};
}

std::size_t TTextView::positionNear(const QPoint& point) const {
    if (count() == 0) return 0;
    const int dy = point.y() - kTopMargin;
    const long long rowsDown = dy >= 0 ? dy / rowHeight_ : -1 - (-dy - 1) / rowHeight_;
    const long long row = static_cast<long long>(topRow()) + rowsDown;
    if (row < 0) return 0;
    if (static_cast<std::size_t>(row) >= layout_.rowCount()) return layout_.textLength();
    const RowRef ref = layout_.rowAt(static_cast<std::size_t>(row));
    const int x = point.x() - textAreaLeft();
    std::size_t offset = ref.row.start + ref.row.length;
    forEachCharOfRow(layout_.line(ref.line), ref.row, wrapWidth(),
                     [&](std::size_t pos, std::size_t, std::size_t cell, std::size_t cells) {
                         // Left of a character's middle places the caret before it.
                         if (2 * x < static_cast<int>(2 * cell + cells) * cellWidth_) {
                             offset = pos;
                             return false;
                         }
                         return true;
                     });
    return layout_.positionOf({ref.line, offset});
}

int TTextView::caretX(const RowRef& ref, std::size_t offset) const {
    const std::size_t cells = cellAtOffset(layout_.line(ref.line), ref.row, offset, wrapWidth());
    return textAreaLeft() + static_cast<int>(cells) * cellWidth_;
}

QRect TTextView::charRect(TextPos pos) const {
    if (count() == 0 || pos.line >= count()) return {};
    const std::size_t row = layout_.rowOf(pos);
    if (row < topRow() || row > topRow() + static_cast<std::size_t>(visibleRows())) return {};
    const RowRef ref = layout_.rowAt(row);
    const int y = kTopMargin + static_cast<int>(row - topRow()) * rowHeight_;
    QRect rect(textAreaLeft() + static_cast<int>(ref.row.cells) * cellWidth_, y, cellWidth_,
               rowHeight_);
    forEachCharOfRow(layout_.line(ref.line), ref.row, wrapWidth(),
                     [&](std::size_t at, std::size_t, std::size_t cell, std::size_t cells) {
                         if (at != pos.offset) return true;
                         rect = QRect(textAreaLeft() + static_cast<int>(cell) * cellWidth_, y,
                                      static_cast<int>(cells) * cellWidth_, rowHeight_);
                         return false;
                     });
    return rect;
}

// --- Caret and selection ---

std::size_t TTextView::selStart() const { return std::min(anchor_, caret_); }

std::size_t TTextView::selLength() const {
    return std::max(anchor_, caret_) - std::min(anchor_, caret_);
}

void TTextView::setSelStart(std::size_t position) { moveCaret(position, false); }

void TTextView::setSelLength(std::size_t length) {
    const std::size_t start = selStart();
    anchor_ = start;
    caret_ = layout_.positionOf(layout_.posAt(start + std::min(length, textLength() - start)));
    repaintText();
}

void TTextView::selectAll() {
    anchor_ = 0;
    caret_ = textLength();
    repaintText();
    publishSelection();
}

std::string TTextView::selectedText() const {
    return layout_.textBetween(selStart(), selStart() + selLength());
}

namespace {

// Qt's plain-text clipboard carries "\n" line ends and gives each desktop its own.
void PutOnClipboard(const std::string& utf8, QClipboard::Mode mode) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(text, mode);
}

}  // namespace

void TTextView::copyToClipboard() const {
    const std::string selected = selectedText();
    if (!selected.empty()) PutOnClipboard(selected, QClipboard::Clipboard);
}

void TTextView::publishSelection() {
    // Only what the user selected: a selection the view restores after a
    // resize would otherwise take the primary selection from other programs.
    const std::string selected = selectedText();
    if (selected.empty()) return;
    PutOnClipboard(selected, QClipboard::Selection);
    emit selectionPublished();
}

void TTextView::moveCaret(std::size_t position, bool extend) {
    caret_ = count() == 0 ? 0 : layout_.positionOf(layout_.posAt(position));
    if (!extend) anchor_ = caret_;
    repaintText();
}

// --- Pointer, hint and keyboard ---

void TTextView::setPointerShape(Qt::CursorShape shape) {
    if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

Qt::CursorShape TTextView::pointerShape() const { return viewport()->cursor().shape(); }

void TTextView::setHint(const QString& text) {
    if (text == hint_) return;
    hint_ = text;
    // A hint on screen follows at once: it goes with an empty text and shows a new one in its
    // place, so moving from a URL straight onto a mail address never shows the URL's hint.
    if (hintShown_) {
        hintShown_ = !text.isEmpty();
        hintShower_(QCursor::pos(), text, viewport());
    }
}

void TTextView::setHintShower(HintShower shower) { hintShower_ = std::move(shower); }

bool TTextView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        hintShown_ = !hint_.isEmpty();
        hintShower_(help->globalPos(), hint_, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool TTextView::tripleClick(const QPoint& point) {
    const bool soon =
        sinceDoubleClick_.isValid() &&
        sinceDoubleClick_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
    sinceDoubleClick_.invalidate();
    if (!soon || (point - doubleClickPoint_).manhattanLength() >=
                     QGuiApplication::styleHints()->startDragDistance())
        return false;
    const std::optional<RowRef> ref = rowAtY(point.y());
    if (!ref) return false;
    anchor_ = layout_.positionOf({ref->line, 0});
    caret_ = anchor_ + layout_.line(ref->line).size();
    dragging_ = false;
    repaintText();
    publishSelection();
    return true;
}

void TTextView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && tripleClick(point)) {
        emit pointerPressed(event->button(), point);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        moveCaret(positionNear(point), event->modifiers() & Qt::ShiftModifier);
        dragging_ = true;
        dragPoint_ = point;
    }
    emit pointerPressed(event->button(), point);
}

void TTextView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        dragPoint_ = point;
        moveCaret(positionNear(point), true);
        const bool outside = point.y() < 0 || point.y() >= viewport()->height();
        if (outside && !autoScrollTimer_.isActive()) autoScrollTimer_.start();
        if (!outside) autoScrollTimer_.stop();
    }
    emit pointerMoved(point);
}

void TTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        autoScrollTimer_.stop();
        publishSelection();
    }
}

void TTextView::autoScroll() {
    if (!dragging_) {
        autoScrollTimer_.stop();
        return;
    }
    scrollRows(dragPoint_.y() < 0 ? -1 : 1);
    moveCaret(positionNear(dragPoint_), true);
}

void TTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        sinceDoubleClick_.start();
        doubleClickPoint_ = point;
        // The view's own reaction: select the token under the pointer.
        if (const std::optional<TextPos> at = charAt(point)) {
            if (const Token* token = findTokenAt(tokensOf(at->line), at->offset)) {
                const std::size_t lineStart = layout_.positionOf({at->line, 0});
                anchor_ = lineStart + token->start;
                caret_ = lineStart + token->end();
                repaintText();
                publishSelection();
            }
        }
    }
    emit doubleClicked(point);
}

void TTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Up:
            scrollRows(-1);
            return;
        case Qt::Key_Down:
            scrollRows(1);
            return;
        case Qt::Key_PageUp:
            scrollRows(-visibleRows());
            return;
        case Qt::Key_PageDown:
            scrollRows(visibleRows());
            return;
        case Qt::Key_Home:
        case Qt::Key_End:
            if (!control) break;
            moveCaret(event->key() == Qt::Key_Home ? 0 : textLength(), false);
            setTopRow(event->key() == Qt::Key_Home ? 0 : layout_.rowCount());
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The view's own key: it must not reach the window's default button.
            return;
        default:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TTextView::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_ == nullptr) return;
    QPoint global = event->globalPos();
    if (event->reason() != QContextMenuEvent::Mouse) {
        global = viewport()->mapToGlobal(QPoint(textAreaLeft(), kTopMargin));
    }
    popupMenu_->popup(global);
}

void TTextView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    repaintText();
}

void TTextView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    repaintText();
}

}  // namespace torvane::view
