#pragma once
// TXPHintWindow: the window the report's link hints appear in, a tooltip
// with a thin flat border and a soft drop shadow.

#include <QWidget>

class QLabel;

namespace torvane::app {

class TXPHintWindow : public QWidget {
    Q_OBJECT

  public:
    explicit TXPHintWindow(QWidget* parent = nullptr);

    // Shows `text` with its top-left corner near `globalPos`; an empty text
    // hides the window.
    void ShowHint(const QPoint& globalPos, const QString& text);
    QString Text() const;

    // The shadow's reach around the framed area, in pixels.
    static constexpr int kShadowMargin = 6;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QLabel* label_;
};

}  // namespace torvane::app
