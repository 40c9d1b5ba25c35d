// TTextView: the read-only, word-wrapping text view that shows the report.
//
// Lines are UTF-8 texts. Every grapheme cluster sits on a cell grid and takes the cells of
// unicode/cells.h (a character CP932 writes with two bytes two, as before), whatever the font's
// own advances; it is drawn as its first character's glyph. Rows come from the row
// breaker of the text rules at the wrap width and are kept per line with each line's end state, so
// a change re-lays only the lines it touches. Hit tests are arithmetic on that layout.
//
// Positions (selection start, caret) count bytes of the whole text, in which lines are joined by
// CR LF; a character counts its UTF-8 bytes, as in the text string itself, and a position never
// falls inside a cluster.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QTimer>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "view/rules/tokens.h"
#include "view/widget/text_layout.h"

class QMenu;

namespace torvane::view {

class TAccessibleText;
class TCellChars;
class TFaceChain;

// One display row just drawn, as the `rowDrawn` event hands it over.
struct TDrawnRow {
    QPainter* painter;
    std::string_view text;  // the row's bytes
    std::size_t cells;      // the cell where it ends (unicode/cells.h), tabs expanded and the
                            // indent of a row continuing a "Label: value" line counted
    int x;                  // text origin of the row in viewport coordinates
    int y;                  // top of the row
    bool selected;          // some of the row, or its end, was drawn selected
};

class TTextView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    // Geometry of the text area in pixels.
    static constexpr int kLeftMargin = 5;
    static constexpr int kTopMargin = 2;
    static constexpr int kLineGap = 2;
    // The image gutter: left margin + mark width + right margin. No line-number bar is shown.
    static constexpr int kGutterLeftMargin = 2;
    static constexpr int kGutterMarkWidth = 0;
    static constexpr int kGutterRightMargin = 2;
    static constexpr int kGutterDigitWidth = 8;

    explicit TTextView(QWidget* parent = nullptr);
    ~TTextView() override;

    // --- The report's lines ---
    void clear();
    void appendLine(std::string line);
    void appendLines(std::span<const std::string> lines);
    // Takes the lines over; linear in the lines appended.
    void appendLines(query::TLines lines);
    // Inserts before line `index`; throws std::out_of_range when index > count().
    void insertLine(std::size_t index, std::string line);
    // Inserts the block before line `index` in one step, linear in the lines moved and inserted;
    // throws std::out_of_range when index > count().
    void insertLines(std::size_t index, query::TLines lines);
    // Removes lines [index, index + count) in one step; the caret and the selection stay on the
    // same characters, or move to where the removed lines were. Throws std::out_of_range when
    // the range runs past count().
    void removeLines(std::size_t index, std::size_t count);
    std::size_t count() const { return layout_.lineCount(); }
    // Valid until the lines next change.
    std::string_view line(std::size_t index) const { return layout_.line(index); }
    // No repainting between the two. They are not counted: one end resumes after any number of
    // begins, and an end without a begin does nothing. An end repaints a visible view at once.
    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return updating_; }
    // Selection start 0, nothing selected, scrolled to the top.
    void caretToStart();
    // The lines joined by CR LF.
    std::string text() const { return layout_.text(); }
    std::size_t textLength() const { return layout_.textLength(); }
    // The codes a report can be saved in.
    enum class FileCode { utf8, shiftJis };
    // Writes every line followed by CR LF, in UTF-8 as the lines are, or in Shift_JIS (CP932),
    // where a character it lacks becomes '?'. Throws std::runtime_error when the file cannot be
    // written.
    void saveToFile(const std::filesystem::path& path, FileCode code = FileCode::utf8) const;
    // True when a character of the lines is one that Shift_JIS (CP932) lacks, so that saving in
    // it would lose that character.
    bool holdsCharsShiftJisLacks() const;

    // --- Layout ---
    int wrapWidth() const { return layout_.wrapWidth(); }
    // Clamped to 20..250 cells; re-wraps when the width changes.
    void setWrapWidth(int cells);
    int cellWidth() const { return cellWidth_; }
    int rowHeight() const { return rowHeight_; }
    // Left margin plus the gutters shown: where the text of every row begins in the viewport.
    int textAreaLeft() const;
    bool verticalScrollBarShown() const;
    int verticalScrollBarWidth() const;
    bool wrapMarkShown() const { return false; }
    const TTextLayout& layout() const { return layout_; }

    // The face the view draws `c` with in that weight: the report's font where it has the
    // character, else a fallback face; an invalid QRawFont when none has it (a box is drawn).
    QRawFont faceFor(char32_t c, bool bold = true);

    QColor backgroundColor() const { return background_; }
    QColor fontColor() const { return fontColor_; }

    // --- Scrolling ---
    std::size_t topRow() const;
    void setTopRow(std::size_t row);
    void scrollRows(int delta);
    // Rows that fit wholly in the viewport (at least 1).
    int visibleRows() const;
    void scrollCaretIntoView();
    // Scrolls the least that shows the row holding byte position `position`.
    void scrollIntoView(std::size_t position);

    // --- Hit tests, in viewport coordinates ---
    // The token under `point`: none when the view is empty, left of the text area, above the first
    // or below the last row, at or right of the row's end, or between tokens.
    std::optional<TokenText> tokenAt(const QPoint& point) const;
    // The character under `point`, with the same rules as tokenAt.
    std::optional<TextPos> charAt(const QPoint& point) const;
    // The text position nearest to `point`, for placing the caret.
    std::size_t positionNear(const QPoint& point) const;
    // The cell rectangle of the character at `pos` in viewport coordinates; empty when that row
    // is not on screen.
    QRect charRect(TextPos pos) const;

    // --- Caret and selection ---
    std::size_t selStart() const;
    std::size_t selLength() const;
    // Places the caret at `position` with nothing selected.
    void setSelStart(std::size_t position);
    // Selects `length` bytes from the selection start.
    void setSelLength(std::size_t length);
    void selectAll();
    std::string selectedText() const;
    // Puts the selection on the clipboard as Unicode text; nothing when nothing is selected.
    void copyToClipboard() const;
    // Puts the selection on the X11 primary selection (middle-click paste) where the platform has
    // one (elsewhere Qt drops it) and emits selectionPublished; nothing when nothing is selected.
    // The view calls it when the user ends a selection with the mouse or selects all.
    void publishSelection();
    std::size_t caretPosition() const { return caret_; }

    // --- Drawing and pointer services for the handlers ---
    // Draws `text` with its top-left at (x, y) over the view's background colour, one cell per
    // single-byte character. Only valid inside the `rowDrawn` event.
    void drawTextOverBackground(QPainter& painter, int x, int y, std::string_view text);
    void setPointerShape(Qt::CursorShape shape);
    Qt::CursorShape pointerShape() const;
    // The hint (tooltip text) shown when the pointer rests on the view; empty shows none.
    void setHint(const QString& text);
    QString hint() const { return hint_; }
    // Shows `text` at `globalPos` for `owner`, or hides the hint when text is empty. The default
    // uses QToolTip; the window replaces it with its own hint window.
    using HintShower =
        std::function<void(const QPoint& globalPos, const QString& text, QWidget* owner)>;
    void setHintShower(HintShower shower);
    void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // The report as assistive technologies read it (see accessible_text.h).
    TAccessibleText& accessibleText() const { return *accessibleText_; }

  signals:
    void pointerMoved(const QPoint& point);
    void pointerPressed(Qt::MouseButton button, const QPoint& point);
    void doubleClicked(const QPoint& point);
    void resized();
    void rowDrawn(const torvane::view::TDrawnRow& row);
    void selectionPublished();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    struct Style {
        QRgb color;
        bool bold;
        bool underline;
    };
    // Glyphs of one colour, weight and face, drawn with one call.
    struct GlyphBatch {
        QRgb color;
        bool bold;
        std::uint16_t face;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };

    void afterTextChange();
    void updateScrollBar();
    void repaintText();
    std::optional<RowRef> rowAtY(int y) const;
    const std::vector<Token>& tokensOf(std::size_t line) const;
    void moveCaret(std::size_t position, bool extend);
    // A press that completes a triple click: selects the report line under `point`.
    bool tripleClick(const QPoint& point);
    void autoScroll();

    void paintRow(QPainter& painter, const RowRef& ref, int y);
    Style styleOf(const Token* token) const;
    // Queues the glyph of `unicode` for drawing; false when no face has a glyph for it.
    bool addGlyph(QRgb color, bool bold, char32_t unicode, QPointF at);

    int caretX(const RowRef& ref, std::size_t offset) const;
    void flushGlyphs(QPainter& painter);
    void drawPlaceholder(QPainter& painter, QRect cell, const QColor& color);

    TTextLayout layout_;
    bool updating_ = false;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    bool dragging_ = false;
    QPoint dragPoint_;
    // The last double-click: a press soon after it at the same place is a triple click.
    QElapsedTimer sinceDoubleClick_;
    QPoint doubleClickPoint_;
    QTimer autoScrollTimer_;
    QString hint_;
    bool hintShown_ = false;
    HintShower hintShower_;
    QMenu* popupMenu_ = nullptr;
    QSize lastSize_;

    QFont regularFont_;
    QFont boldFont_;
    // The faces every view draws with; the first is the report's font.
    TFaceChain& faces_;
    int cellWidth_ = 9;
    int rowHeight_ = 20;
    int ascent_ = 15;
    QColor background_;
    QColor windowText_;
    QColor fontColor_;

    std::unique_ptr<TCellChars> cellChars_;
    std::vector<GlyphBatch> batches_;
    mutable std::size_t tokensLine_ = 0;
    mutable std::size_t tokensVersion_ = static_cast<std::size_t>(-1);
    mutable std::vector<Token> tokens_;
    std::unique_ptr<TAccessibleText> accessibleText_;
};

}  // namespace torvane::view
