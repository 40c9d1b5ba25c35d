#include "view/widget/text_view_accessible.h"

#include <QAccessibleWidget>
#include <algorithm>

#include "view/widget/accessible_text.h"
#include "view/widget/text_view.h"

namespace torvane::view {

namespace {

// What a screen reader calls the report when the window gave it no name.
const QString kDefaultName = QStringLiteral("調査結果");

class TTextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit TTextViewAccessible(TTextView* view)
        : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text which) const override {
        switch (which) {
            case QAccessible::Name: {
                const QString name = view()->accessibleName();
                return name.isEmpty() ? kDefaultName : name;
            }
            case QAccessible::Value:
                return report().text(0, report().characterCount());
            default:
                return QAccessibleWidget::text(which);
        }
    }

    // --- Text ---
    int characterCount() const override { return report().characterCount(); }
    QString text(int start, int end) const override { return report().text(start, end); }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                         int* end) const override {
        return textOf(offset, start, end,
                      [&](int at) { return std::optional(report().unitAt(at, type)); });
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                             int* end) const override {
        return textOf(offset, start, end, [&](int at) { return report().unitBefore(at, type); });
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                            int* end) const override {
        return textOf(offset, start, end, [&](int at) { return report().unitAfter(at, type); });
    }

    QString attributes(int, int* start, int* end) const override {
        // One run without attributes over the whole text.
        *start = 0;
        *end = characterCount();
        return {};
    }

    // --- Caret and selection ---
    int cursorPosition() const override { return report().offsetOf(view()->caretPosition()); }

    void setCursorPosition(int position) override {
        view()->setSelStart(report().positionOf(position));
        view()->scrollCaretIntoView();
    }

    int selectionCount() const override { return view()->selLength() > 0 ? 1 : 0; }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || view()->selLength() == 0) return;
        *start = report().offsetOf(view()->selStart());
        *end = report().offsetOf(view()->selStart() + view()->selLength());
    }

    void setSelection(int index, int start, int end) override {
        if (index == 0) select(start, end);
    }
    // The view has one selection: another replaces it.
    void addSelection(int start, int end) override { select(start, end); }

    void removeSelection(int index) override {
        if (index == 0 && view()->selLength() > 0) view()->setSelStart(view()->caretPosition());
    }

    // --- Geometry, in screen coordinates ---
    QRect characterRect(int offset) const override {
        if (offset < 0 || offset > characterCount() || view()->count() == 0) return {};
        const QRect rect = view()->charRect(report().posOf(offset));
        if (rect.isEmpty()) return {};
        return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (const std::optional<TextPos> at = view()->charAt(local)) return report().offsetOf(*at);
        // Beside the text, the caret's place nearest to the point.
        if (view()->count() > 0 && view()->viewport()->rect().contains(local)) {
            return report().offsetOf(view()->positionNear(local));
        }
        return -1;
    }

    void scrollToSubstring(int start, int end) override {
        // The end first, so the start is shown even when both do not fit.
        view()->scrollIntoView(report().positionOf(end));
        view()->scrollIntoView(report().positionOf(start));
    }

  private:
    TTextView* view() const { return static_cast<TTextView*>(widget()); }
    TAccessibleText& report() const { return view()->accessibleText(); }

    void select(int start, int end) {
        const std::size_t from = report().positionOf(std::min(start, end));
        const std::size_t to = report().positionOf(std::max(start, end));
        view()->setSelStart(from);
        view()->setSelLength(to - from);
    }

    // Offsets -1 (the end) and -2 (the caret) as QAccessibleTextInterface defines them; an
    // offset outside the text, or no unit there, gives an empty text at -1.
    template <typename FindUnit>
    QString textOf(int offset, int* start, int* end, FindUnit findUnit) const {
        *start = *end = -1;
        const int count = characterCount();
        if (offset == -1) offset = count;
        if (offset == -2) offset = cursorPosition();
        if (offset < 0 || offset > count) return {};
        const std::optional<TAccessibleText::Unit> unit = findUnit(offset);
        if (!unit) return {};
        *start = unit->start;
        *end = unit->end;
        return report().text(unit->start, unit->end);
    }
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(TTextView::staticMetaObject.className())) return nullptr;
    auto* view = qobject_cast<TTextView*>(object);
    return view != nullptr ? new TTextViewAccessible(view) : nullptr;
}

}  // namespace

void InstallTextViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&MakeAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace torvane::view
