#include "app/hint_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>

namespace torvane::app {

TXPHintWindow::TXPHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      label_(new QLabel(this)) {
    // The shadow is drawn in the window's transparent margin.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kShadowMargin + 4, kShadowMargin + 2, kShadowMargin + 4,
                               kShadowMargin + 2);
    layout->addWidget(label_);
    label_->setFont(QToolTip::font());
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, QToolTip::palette().color(QPalette::ToolTipText));
    label_->setPalette(palette);
}

QString TXPHintWindow::Text() const { return isVisible() ? label_->text() : QString(); }

void TXPHintWindow::ShowHint(const QPoint& globalPos, const QString& text) {
    if (text.isEmpty()) {
        hide();
        return;
    }
    label_->setText(text);
    adjustSize();
    QPoint at = globalPos + QPoint(2, 18) - QPoint(kShadowMargin, kShadowMargin);
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::min(at.x(), area.right() - width()));
        at.setY(std::min(at.y(), area.bottom() - height()));
    }
    move(at);
    show();
    raise();
}

void TXPHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect frame =
        rect().adjusted(kShadowMargin, kShadowMargin, -kShadowMargin, -kShadowMargin);
    // A soft shadow: a few translucent rounded rectangles spreading out below
    // and to the right of the frame.
    for (int spread = kShadowMargin; spread > 0; --spread) {
        QPainterPath path;
        path.addRoundedRect(QRectF(frame.translated(2, 3))
                                .adjusted(-spread + 2, -spread + 2, spread - 2, spread - 2),
                            spread, spread);
        painter.fillPath(path, QColor(0, 0, 0, 10 + 4 * (kShadowMargin - spread)));
    }
    painter.fillRect(frame, QToolTip::palette().color(QPalette::ToolTipBase));
    // A flat, one-colour border on all four sides.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(118, 118, 118));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

}  // namespace torvane::app
