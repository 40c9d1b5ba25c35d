#pragma once
// TXPHintWindow: the window the report's link hints appear in, a tooltip
// with a thin flat border and a soft drop shadow. Where the window system
// cannot show translucency (X11 without a compositing manager) it has the
// border only: a shadow would come out as a thick black frame.

#include <QWidget>

class QLabel;

namespace torvane::app {

class TXPHintWindow : public QWidget {
    Q_OBJECT

  public:
    // `shadow`: draw the soft shadow; by default where the window system
    // shows translucent windows.
    explicit TXPHintWindow(QWidget* parent = nullptr);
    TXPHintWindow(QWidget* parent, bool shadow);

    // Shows `text` with its top-left corner near `globalPos`; an empty text
    // hides the window.
    void ShowHint(const QPoint& globalPos, const QString& text);
    QString Text() const;

    // The shadow's reach around the framed area, in pixels, when there is one.
    static constexpr int kShadowMargin = 6;
    bool HasShadow() const { return margin_ > 0; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QLabel* label_;
    int margin_;
};

}  // namespace torvane::app
