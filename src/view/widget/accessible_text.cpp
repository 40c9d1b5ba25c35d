#include "view/widget/accessible_text.h"

#include <QTextBoundaryFinder>
#include <algorithm>

#include "unicode/utf8_walk.h"
#include "view/widget/cell_chars.h"
#include "view/widget/text_view.h"

namespace torvane::view {

namespace {

constexpr QChar kLineEnd = u'\n';

// Whether an assistive technology listens: Qt delivers no event otherwise, so only then are
// the events' texts built.
bool Listening() { return QAccessible::isActive(); }

// The piece of `text` between the two break opportunities of `type` around `local`. Words are
// then single kanji and kana, as the finder has no dictionary, but never the whole line.
std::pair<int, int> PieceAround(const QString& text, int local,
                                QTextBoundaryFinder::BoundaryType type) {
    QTextBoundaryFinder finder(type, text);
    finder.setPosition(local);
    const qsizetype start = finder.isAtBoundary() ? local : finder.toPreviousBoundary();
    finder.setPosition(local);
    const qsizetype end = finder.toNextBoundary();
    return {static_cast<int>(std::max<qsizetype>(0, start)),
            static_cast<int>(end < 0 ? text.size() : end)};
}

}  // namespace

TAccessibleText::TAccessibleText(TTextView& view) : view_(view) {}

TAccessibleText::~TAccessibleText() = default;

const query::TLines& TAccessibleText::lines() const { return view_.layout().lines(); }

bool TAccessibleText::hasLineEnd(std::size_t line) const { return line + 1 < lines().size(); }

bool TAccessibleText::endsWithEmptyLine() const {
    return !lines().empty() && lines()[lines().size() - 1].empty();
}

// --- Hooks ---

void TAccessibleText::linesAppended() { linesInserted(knownLines_); }

void TAccessibleText::linesInserted(std::size_t index) {
    const std::size_t oldCount = knownLines_;
    const std::size_t added = lines().size() - oldCount;
    knownLines_ = lines().size();
    offsets_.linesInsertedAt(index);
    // The event's text is the one cost of a change, and only a listener pays it.
    if (added == 0 || !Listening()) return;
    QString inserted;
    int position = 0;
    if (index < oldCount) {
        // Before an existing line: every new line brings its own line end.
        position = static_cast<int>(offsets_.lineStart(lines(), index));
        for (std::size_t k = index; k < index + added; ++k) inserted += lineText(k) + kLineEnd;
    } else {
        // At the end: the old last line gains a line end, the new last line has none.
        if (oldCount > 0) position = static_cast<int>(offsets_.lineStart(lines(), index)) - 1;
        for (std::size_t k = index; k < index + added; ++k) {
            if (k > 0) inserted += kLineEnd;
            inserted += lineText(k);
        }
    }
    if (inserted.isEmpty()) return;
    QAccessibleTextInsertEvent event(&view_, position, inserted);
    QAccessible::updateAccessibility(&event);
}

void TAccessibleText::aboutToRemove(std::size_t index, std::size_t count) {
    removedAt_ = 0;
    if (count == 0 || !Listening()) return;
    // The lines go with their line ends; the last lines of the text take
    // the line end before them instead.
    const std::size_t total = lines().size();
    const int start = static_cast<int>(offsets_.lineStart(lines(), index));
    const int end = static_cast<int>(offsets_.lineStart(lines(), index + count));
    if (index + count < total) {
        removedAt_ = start;
        removed_ = text(start, end);
    } else {
        removedAt_ = index > 0 ? start - 1 : 0;
        removed_ = text(removedAt_, characterCount());
    }
}

void TAccessibleText::removedLines(std::size_t index) {
    knownLines_ = lines().size();
    offsets_.linesInsertedAt(index);
    if (!removed_.isEmpty() && Listening()) {
        QAccessibleTextRemoveEvent event(&view_, removedAt_, removed_);
        QAccessible::updateAccessibility(&event);
    }
    removed_ = QString();
}

void TAccessibleText::aboutToClear() {
    if (Listening()) removed_ = text(0, characterCount());
}

void TAccessibleText::cleared() {
    offsets_.clear();
    knownLines_ = 0;
    if (!removed_.isEmpty() && Listening()) {
        QAccessibleTextRemoveEvent event(&view_, 0, removed_);
        QAccessible::updateAccessibility(&event);
    }
    removed_ = QString();
}

void TAccessibleText::caretMayHaveMoved() {
    const std::size_t caret = view_.caretPosition();
    const std::size_t selStart = view_.selStart();
    const std::size_t selLength = view_.selLength();
    const bool caretMoved = caret != lastCaret_;
    // Two empty selections are the same, wherever they sat.
    const bool selectionChanged = (selLength != 0 || lastSelLength_ != 0) &&
                                  (selStart != lastSelStart_ || selLength != lastSelLength_);
    lastCaret_ = caret;
    lastSelStart_ = selStart;
    lastSelLength_ = selLength;
    if ((!caretMoved && !selectionChanged) || !Listening()) return;
    const int caretOffset = offsetOf(caret);
    if (selectionChanged) {
        QAccessibleTextSelectionEvent event(&view_, offsetOf(selStart),
                                            offsetOf(selStart + selLength));
        event.setCursorPosition(caretOffset);
        QAccessible::updateAccessibility(&event);
    }
    if (caretMoved) {
        QAccessibleTextCursorEvent event(&view_, caretOffset);
        QAccessible::updateAccessibility(&event);
    }
}

// --- The text ---

int TAccessibleText::characterCount() { return static_cast<int>(offsets_.characterCount(lines())); }

QString TAccessibleText::lineText(std::size_t line) {
    if (!chars_) chars_ = std::make_unique<TCellChars>();
    const std::string_view bytes = lines()[line];
    QString result;
    result.reserve(static_cast<qsizetype>(bytes.size()));
    // One UTF-16 unit per code point (two beyond the BMP), as char_offsets.h counts them; what
    // the view shows as the placeholder reads as U+FFFD.
    for (std::size_t pos = 0; pos < bytes.size();) {
        const unicode::DecodedChar c = unicode::DecodeUtf8At(bytes, pos);
        const char32_t unicode = c.value == '\t' ? U'\t' : chars_->unicodeOf(bytes, pos, c.length);
        const char32_t shown = unicode == TCellChars::kPlaceholder ? U'\uFFFD' : unicode;
        if (shown >= 0x10000) {
            result += QChar(QChar::highSurrogate(shown));
            result += QChar(QChar::lowSurrogate(shown));
        } else {
            result += QChar(static_cast<char16_t>(shown));
        }
        pos += c.length;
    }
    return result;
}

QString TAccessibleText::text(int start, int end) {
    const int count = characterCount();
    start = std::clamp(start, 0, count);
    end = std::clamp(end, 0, count);
    if (start >= end) return {};
    QString result;
    result.reserve(end - start);
    std::size_t line = offsets_.lineAt(lines(), static_cast<std::size_t>(start));
    for (int lineStart = static_cast<int>(offsets_.lineStart(lines(), line)); lineStart < end;
         ++line) {
        QString piece = lineText(line);
        if (hasLineEnd(line)) piece += kLineEnd;
        const int from = std::max(0, start - lineStart);
        const int to = std::min(static_cast<int>(piece.size()), end - lineStart);
        result += QStringView(piece).mid(from, to - from);
        lineStart += static_cast<int>(piece.size());
    }
    return result;
}

// --- Offsets ---

int TAccessibleText::offsetOf(std::size_t position) {
    if (lines().empty()) return 0;
    return offsetOf(view_.layout().posAt(position));
}

int TAccessibleText::offsetOf(TextPos pos) {
    return static_cast<int>(offsets_.offsetOf(lines(), pos));
}

TextPos TAccessibleText::posOf(int offset) {
    return offsets_.posAt(lines(), static_cast<std::size_t>(std::max(0, offset)));
}

std::size_t TAccessibleText::positionOf(int offset) {
    if (lines().empty()) return 0;
    return view_.layout().positionOf(posOf(offset));
}

// --- Units ---

TAccessibleText::Unit TAccessibleText::rowUnit(std::size_t line, TextPos pos, int lineStart) {
    const TTextLayout& layout = view_.layout();
    const std::string_view bytes = lines()[line];
    const Row row = layout.rowAt(layout.rowOf(pos)).row;
    const std::size_t rowEnd = row.start + row.length;
    const int start = lineStart + static_cast<int>(CharsBefore(bytes, row.start));
    int end = lineStart + static_cast<int>(CharsBefore(bytes, rowEnd));
    if (rowEnd == bytes.size() && hasLineEnd(line)) ++end;
    return {start, end};
}

TAccessibleText::Unit TAccessibleText::unitHolding(int offset, QAccessible::TextBoundaryType type) {
    if (type == QAccessible::CharBoundary) return {offset, offset + 1};
    if (type == QAccessible::NoBoundary) return {0, characterCount()};
    const TextPos pos = posOf(offset);
    const int lineStart = static_cast<int>(offsets_.lineStart(lines(), pos.line));
    switch (type) {
        case QAccessible::LineBoundary:
            return rowUnit(pos.line, pos, lineStart);
        case QAccessible::WordBoundary:
        case QAccessible::SentenceBoundary: {
            QString text = lineText(pos.line);
            if (hasLineEnd(pos.line)) text += kLineEnd;
            const auto [start, end] =
                PieceAround(text, offset - lineStart,
                            type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                              : QTextBoundaryFinder::Sentence);
            return {lineStart + start, lineStart + end};
        }
        default: {
            const std::string_view bytes = lines()[pos.line];
            const int length = static_cast<int>(CharsBefore(bytes, bytes.size()));
            return {lineStart, lineStart + length + (hasLineEnd(pos.line) ? 1 : 0)};
        }
    }
}

TAccessibleText::Unit TAccessibleText::unitAt(int offset, QAccessible::TextBoundaryType type) {
    const int count = characterCount();
    if (type == QAccessible::NoBoundary) return {0, count};
    if (offset < count) return unitHolding(offset, type);
    // The end of the text: past the last character, or on an empty last line.
    if (type == QAccessible::CharBoundary || count == 0 || endsWithEmptyLine()) {
        return {count, count};
    }
    return unitHolding(count - 1, type);
}

std::optional<TAccessibleText::Unit> TAccessibleText::unitBefore(
    int offset, QAccessible::TextBoundaryType type) {
    const Unit at = unitAt(offset, type);
    if (at.start == 0) return std::nullopt;
    return unitHolding(at.start - 1, type);
}

std::optional<TAccessibleText::Unit> TAccessibleText::unitAfter(
    int offset, QAccessible::TextBoundaryType type) {
    const int count = characterCount();
    const Unit at = unitAt(offset, type);
    if (at.end < count) return unitHolding(at.end, type);
    // An empty last line is a line of its own after the one before it.
    const bool lineUnits =
        type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary;
    if (lineUnits && at.start < count && endsWithEmptyLine()) return Unit{count, count};
    return std::nullopt;
}

}  // namespace torvane::view
