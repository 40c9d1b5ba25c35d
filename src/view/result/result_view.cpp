#include "view/result/result_view.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QWheelEvent>
#include <QtGlobal>
#include <stdexcept>

#include "view/result/desktop_open.h"

namespace torvane::view {

TResultView::TResultView(TTextView* memo, QObject* parent) : QObject(parent), memo_(memo) {
    memo_->setWrapWidth(TTextLayout::kInitialWrapWidth);
    buildPopupMenu();
    connectEvents();
}

TResultView::~TResultView() = default;

void TResultView::setErrorHandler(std::function<void(const std::exception&)> handler) {
    errorHandler_ = std::move(handler);
}

// Qt carries no exception through its event loop, so each handler run from an event ends here.
template <typename Handler>
void TResultView::guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(std::runtime_error(kUnknownErrorMessage));
    }
}

void TResultView::report(const std::exception& error) {
    if (errorHandler_) {
        errorHandler_(error);
    } else {
        qWarning("%s", error.what());
    }
}

void TResultView::buildPopupMenu() {
    popupMenu_ = new QMenu(memo_);
    auto item = [this](const char* caption, const QKeySequence& shortcut) {
        QAction* action = popupMenu_->addAction(QString::fromUtf8(caption));
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            // The shortcuts act while the view has the keyboard focus.
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            memo_->addAction(action);
        }
        return action;
    };
    open1_ = item("開く(&O)", {});
    n2_ = popupMenu_->addSeparator();
    copy1_ = item("コピー(&C)", QKeySequence(Qt::CTRL | Qt::Key_C));
    url1_ = item(kCopyUrlCaption, {});
    url1_->setEnabled(false);
    n1_ = popupMenu_->addSeparator();
    selectAll1_ = item("すべて選択(&A)", QKeySequence(Qt::CTRL | Qt::Key_A));
    n3_ = popupMenu_->addSeparator();
    s1_ = item("ファイルに保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S));
    n4_ = popupMenu_->addSeparator();
    help1_ = item("ヘルプ(&H)", QKeySequence(Qt::Key_F1));
    // Help answers F1 wherever the focus is in the window, the query box included.
    help1_->setShortcutContext(Qt::WindowShortcut);
    popupMenu_->setDefaultAction(open1_);
    memo_->setPopupMenu(popupMenu_);
}

void TResultView::connectEvents() {
    connect(memo_, &TTextView::pointerMoved, this,
            [this](const QPoint& point) { guarded([&] { DisplayMemoMouseMove(point); }); });
    connect(memo_, &TTextView::pointerPressed, this,
            [this](Qt::MouseButton button, const QPoint& point) {
                guarded([&] { DisplayMemoMouseDown(button, point); });
            });
    connect(memo_, &TTextView::doubleClicked, this,
            [this] { guarded([&] { DisplayMemoDblClick(); }); });
    connect(memo_, &TTextView::resized, this, [this] { guarded([&] { DisplayMemoResize(); }); });
    connect(memo_, &TTextView::rowDrawn, this,
            [this](const TDrawnRow& row) { guarded([&] { DisplayMemoDrawLine(row); }); });
    connect(popupMenu_, &QMenu::aboutToShow, this, [this] { guarded([&] { PopupMenu1Popup(); }); });
    connect(open1_, &QAction::triggered, this, [this] { guarded([&] { Open1Click(); }); });
    connect(copy1_, &QAction::triggered, this, [this] { guarded([&] { Copy1Click(); }); });
    connect(url1_, &QAction::triggered, this, [this] { guarded([&] { URL1Click(); }); });
    connect(selectAll1_, &QAction::triggered, this,
            [this] { guarded([&] { SelectAll1Click(); }); });
    memo_->viewport()->installEventFilter(this);
}

bool TResultView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && watched == memo_->viewport()) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta =
            wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->pixelDelta().y();
        // A sideways turn, and the begin and end phases of a touchpad scroll, carry no vertical
        // delta: they move nothing.
        if (delta != 0) guarded([&] { FormMouseWheel(delta); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TResultView::DisplayMemoMouseMove(const QPoint& point) {
    Qt::CursorShape shape = Qt::IBeamCursor;
    QString hint;
    hoveredUrl_.clear();
    hoveredMail_.clear();
    if (const std::optional<TokenText> token = memo_->tokenAt(point)) {
        if (token->cls == TokenClass::url) {
            shape = Qt::PointingHandCursor;
            hoveredUrl_ = token->text;
            hint = QString::fromUtf8(kUrlHint);
        } else if (token->cls == TokenClass::mailAddress) {
            shape = Qt::PointingHandCursor;
            hoveredMail_ = token->text;
            hint = QString::fromUtf8(kMailHint);
        }
    }
    // Set once: clearing first would hide a shown hint at every move over the same link.
    memo_->setPointerShape(shape);
    memo_->setHint(hint);
}

void TResultView::DisplayMemoMouseDown(Qt::MouseButton, const QPoint&) {
    url1_->setEnabled(false);
    open1_->setVisible(false);
    n2_->setVisible(false);
    if (!hoveredUrl_.empty()) {
        open1_->setVisible(true);
        n2_->setVisible(true);
        url1_->setEnabled(true);
        url1_->setText(QString::fromUtf8(kCopyUrlCaption));
    } else if (!hoveredMail_.empty()) {
        open1_->setVisible(true);
        n2_->setVisible(true);
        url1_->setEnabled(true);
        url1_->setText(QString::fromUtf8(kCopyMailCaption));
    }
}

void TResultView::PopupMenu1Popup() {
    copy1_->setEnabled(memo_->selLength() > 0);
    const bool hasText = memo_->textLength() > 0;
    s1_->setEnabled(hasText);
    selectAll1_->setEnabled(hasText);
}

void TResultView::DisplayMemoDblClick() {
    if (!hoveredUrl_.empty()) OpenWithDesktop(hoveredUrl_);
    if (!hoveredMail_.empty()) OpenWithDesktop("mailto:" + hoveredMail_);
}

void TResultView::Open1Click() { DisplayMemoDblClick(); }

void TResultView::Copy1Click() { memo_->copyToClipboard(); }

void TResultView::URL1Click() {
    const std::string& link = hoveredUrl_.empty() ? hoveredMail_ : hoveredUrl_;
    if (link.empty()) return;
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(link.data(), static_cast<qsizetype>(link.size())));
}

void TResultView::SelectAll1Click() {
    memo_->setSelStart(0);
    memo_->setSelLength(memo_->textLength());
}

void TResultView::DisplayMemoResize() {
    const std::size_t start = memo_->selStart();
    const std::size_t length = memo_->selLength();
    const int w = memo_->cellWidth();
    if (w != 0) {
        int available = memo_->width() - memo_->textAreaLeft() - w / 2;
        if (memo_->verticalScrollBarShown()) available -= memo_->verticalScrollBarWidth();
        int wrap = available / w;
        if (memo_->wrapMarkShown()) wrap -= 2;
        memo_->setWrapWidth(wrap);
    }
    memo_->setSelStart(start);
    memo_->setSelLength(length);
    memo_->scrollCaretIntoView();
}

void TResultView::DisplayMemoDrawLine(const TDrawnRow& row) {
    if (!row.selected) return;
    const int w = memo_->cellWidth();
    if (w == 0) return;
    const int n = static_cast<int>(row.cells);
    const int blanks = memo_->width() / w - n;
    if (blanks <= 0) return;
    memo_->drawTextOverBackground(*row.painter, row.x + (n + 1) * w, row.y,
                                  std::string(static_cast<std::size_t>(blanks), ' '));
}

void TResultView::FormMouseWheel(int wheelDelta) { memo_->scrollRows(wheelDelta > 0 ? -1 : 1); }

}  // namespace torvane::view
