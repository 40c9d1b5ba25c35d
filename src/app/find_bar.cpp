#include "app/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <optional>

#include "app/window_texts.h"
#include "view/rules/find_text.h"
#include "view/widget/text_view.h"

namespace torvane::app {

TFindBar::TFindBar(view::TTextView& report, QWidget* parent)
    : QWidget(parent),
      report_(report),
      textBox_(new QLineEdit(this)),
      next_(new QPushButton(QString::fromUtf8(texts::kFindNext), this)),
      previous_(new QPushButton(QString::fromUtf8(texts::kFindPrevious), this)),
      message_(new QLabel(this)),
      close_(new QToolButton(this)) {
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setAutoRaise(true);
    close_->setToolTip(QString::fromUtf8(texts::kFindClose));
    close_->setAccessibleName(QString::fromUtf8(texts::kFindClose));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(QString::fromUtf8(texts::kFindLabel), this));
    row->addWidget(textBox_, 1);
    row->addWidget(next_);
    row->addWidget(previous_);
    row->addWidget(message_);
    row->addWidget(close_);
    connect(textBox_, &QLineEdit::returnPressed, this, &TFindBar::FindNext);
    connect(next_, &QPushButton::clicked, this, &TFindBar::FindNext);
    connect(previous_, &QPushButton::clicked, this, &TFindBar::FindPrevious);
    connect(close_, &QToolButton::clicked, this, &TFindBar::Close);
    hide();
}

void TFindBar::Open() {
    show();
    textBox_->setFocus(Qt::ShortcutFocusReason);
    textBox_->selectAll();
}

void TFindBar::FindNext() {
    const std::string needle = textBox_->text().toStdString();  // UTF-8, as the report
    // A match under the caret is the one shown now; the next starts after its first character.
    const std::size_t from = report_.selLength() > 0 ? report_.selStart() + 1 : report_.selStart();
    const std::optional<std::size_t> found = view::findNext(report_.text(), needle, from);
    if (found) Select(*found, needle.size());
    ShowOutcome(found.has_value(), found && *found < from, texts::kFindWrappedToTop);
}

void TFindBar::FindPrevious() {
    const std::string needle = textBox_->text().toStdString();  // UTF-8, as the report
    const std::size_t before = report_.selStart();
    const std::optional<std::size_t> found = view::findPrevious(report_.text(), needle, before);
    if (found) Select(*found, needle.size());
    ShowOutcome(found.has_value(), found && *found >= before, texts::kFindWrappedToBottom);
}

void TFindBar::ShowOutcome(bool found, bool wrapped, const char* wrappedText) {
    const char* text = !found ? texts::kFindNotFound : wrapped ? wrappedText : "";
    message_->setText(QString::fromUtf8(text));
}

void TFindBar::Close() {
    hide();
    report_.setFocus(Qt::ShortcutFocusReason);
}

void TFindBar::Select(std::size_t position, std::size_t length) {
    report_.setSelStart(position);
    report_.setSelLength(length);
    report_.scrollCaretIntoView();
}

void TFindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Close();
        return;
    }
    // Return has found already (returnPressed); it must not reach the window's run button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QWidget::keyPressEvent(event);
}

}  // namespace torvane::app
