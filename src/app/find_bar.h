#pragma once
// TFindBar: the report's find bar. It looks for the typed text in the
// report's UTF-8 text by whole characters, selects the match (the view's
// highlight) and scrolls it into view; a search that went round the end says
// so. Esc or its close button closes it and gives the focus back to the
// report.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace torvane::view {
class TTextView;
}

namespace torvane::app {

class TFindBar : public QWidget {
    Q_OBJECT

  public:
    // `report` must outlive the bar.
    TFindBar(view::TTextView& report, QWidget* parent = nullptr);

    // Shows the bar with the focus in its text box, the text selected.
    void Open();
    // Hides the bar; the focus goes back to the report.
    void Close();
    // The match after the current selection (or caret), wrapping around; the
    // previous one before it. Both say "見つかりません" when there is none,
    // and which end they went round when they wrapped.
    void FindNext();
    void FindPrevious();

    QLineEdit* TextBox() const { return textBox_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* PreviousButton() const { return previous_; }
    QToolButton* CloseButton() const { return close_; }
    QLabel* Message() const { return message_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Select(std::size_t position, std::size_t length);
    void ShowOutcome(bool found, bool wrapped, const char* wrappedText);

    view::TTextView& report_;
    QLineEdit* textBox_;
    QPushButton* next_;
    QPushButton* previous_;
    QLabel* message_;
    QToolButton* close_;
};

}  // namespace torvane::app
