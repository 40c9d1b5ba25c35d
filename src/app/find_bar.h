#pragma once
// TFindBar: the report's find bar. It looks for the typed text in the
// report's CP932 text by whole characters, selects the match (the view's
// highlight) and scrolls it into view. Esc closes it and gives the focus back
// to the report.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

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
    // The match after the current selection (or caret), wrapping around; the
    // previous one before it. Both say "見つかりません" when there is none.
    void FindNext();
    void FindPrevious();

    QLineEdit* TextBox() const { return textBox_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* PreviousButton() const { return previous_; }
    QLabel* Message() const { return message_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Select(std::size_t position, std::size_t length);

    view::TTextView& report_;
    QLineEdit* textBox_;
    QPushButton* next_;
    QPushButton* previous_;
    QLabel* message_;
};

}  // namespace torvane::app
