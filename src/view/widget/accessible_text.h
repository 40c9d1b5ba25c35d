// The report of a TTextView as assistive technologies read it: one text of the lines joined by
// "\n", each character the one UTF-16 unit the view draws, and the accessibility events that
// tell them of changes of the text, the caret and the selection.
//
// The view owns one and calls its hooks on every change; they cost nothing beyond a comparison
// while no assistive technology is active. Offsets here are UTF-16 units of that text.
#pragma once

#include <QAccessible>
#include <QString>
#include <cstddef>
#include <memory>
#include <optional>

#include "view/widget/char_offsets.h"

namespace torvane::view {

class TCellChars;
class TTextView;

class TAccessibleText {
  public:
    // A piece of the text: offsets [start, end).
    struct Unit {
        int start;
        int end;
        friend bool operator==(const Unit&, const Unit&) = default;
    };

    explicit TAccessibleText(TTextView& view);
    ~TAccessibleText();

    // --- Hooks: the view calls them right after the change named ---
    // Lines were appended to the layout.
    void linesAppended();
    // Lines were inserted before line `index` (index == the old count appends).
    void linesInserted(std::size_t index);
    // Before and after lines [index, index + count) are removed from the layout.
    void aboutToRemove(std::size_t index, std::size_t count);
    void removedLines(std::size_t index);
    // Before and after the layout is cleared.
    void aboutToClear();
    void cleared();
    // The caret or the selection may have changed; raises the events for what did.
    void caretMayHaveMoved();

    // --- The text ---
    int characterCount();
    // The text of [start, end), clamped to the text.
    QString text(int start, int end);
    // One report line as it is read: tabs as "\t", characters drawn as the placeholder box as
    // U+FFFD, every other character as drawn.
    QString lineText(std::size_t line);

    // --- Offsets and the view's byte positions ---
    // The offset of byte position `position` (a position inside a character or a line break
    // counts as that character's or that line end's offset).
    int offsetOf(std::size_t position);
    int offsetOf(TextPos pos);
    // The byte position of `offset`, clamped to the text.
    std::size_t positionOf(int offset);
    TextPos posOf(int offset);

    // --- Text units for the boundaries ---
    // Characters are single units; words and sentences lie between the break opportunities of
    // QTextBoundaryFinder within a line, whose "\n" is read with it; lines are the display rows,
    // the last row of a line with its "\n"; paragraphs are report lines with their "\n"; NoBoundary
    // is the whole text. The unit holding `offset` (0 <= offset <= characterCount()). At the text's
    // end: an empty unit for characters and after an empty last line, otherwise the last unit.
    Unit unitAt(int offset, QAccessible::TextBoundaryType type);
    // The unit before / after unitAt(offset), none at the text's start / end.
    std::optional<Unit> unitBefore(int offset, QAccessible::TextBoundaryType type);
    std::optional<Unit> unitAfter(int offset, QAccessible::TextBoundaryType type);

    // Lines whose character offset is known: the work done so far, for tests of the cost.
    std::size_t countedLines() const { return offsets_.cachedLines(); }

  private:
    // The unit holding `offset`, 0 <= offset < characterCount().
    Unit unitHolding(int offset, QAccessible::TextBoundaryType type);
    Unit rowUnit(std::size_t line, TextPos pos, int lineStart);
    bool hasLineEnd(std::size_t line) const;
    bool endsWithEmptyLine() const;
    const query::TLines& lines() const;

    TTextView& view_;
    TCharOffsets offsets_;
    // Made when first read: most views never are.
    std::unique_ptr<TCellChars> chars_;
    std::size_t knownLines_ = 0;
    QString removed_;
    int removedAt_ = 0;
    std::size_t lastCaret_ = 0;
    std::size_t lastSelStart_ = 0;
    std::size_t lastSelLength_ = 0;
};

}  // namespace torvane::view
