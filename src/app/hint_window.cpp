#include "app/hint_window.h"

#include "app/compositing.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>

namespace torvane::app {

TXPHintWindow::TXPHintWindow(QWidget* parent)
    : TXPHintWindow(parent, TranslucentWindowsShown()) {}

TXPHintWindow::TXPHintWindow(QWidget* parent, bool shadow)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      label_(new QLabel(this)),
      margin_(shadow ? kShadowMargin : 0) {
    // The shadow is drawn in the window's transparent margin.
    if (shadow) setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin_ + 4, margin_ + 2, margin_ + 4, margin_ + 2);
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
    QPoint at = globalPos + QPoint(2, 18) - QPoint(margin_, margin_);
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
    const QRect frame = rect().adjusted(margin_, margin_, -margin_, -margin_);
    // A soft shadow: a few translucent rounded rectangles spreading out below
    // and to the right of the frame.
    for (int spread = margin_; spread > 0; --spread) {
        QPainterPath path;
        path.addRoundedRect(QRectF(frame.translated(2, 3))
                                .adjusted(-spread + 2, -spread + 2, spread - 2, spread - 2),
                            spread, spread);
        painter.fillPath(path, QColor(0, 0, 0, 10 + 4 * (margin_ - spread)));
    }
    painter.fillRect(frame, QToolTip::palette().color(QPalette::ToolTipBase));
    // A flat, one-colour border on all four sides.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(118, 118, 118));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

}  // namespace torvane::app
