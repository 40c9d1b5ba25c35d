// The result view's behaviour: links under the pointer, the pointer shape and the hint, the
// double-click hand-off, the pop-up menu and its commands, the wrap width that follows the view's
// width, the row-end rule of the selection highlight and the one-row mouse wheel.
//
// The handlers belong to the main window; TResultView holds them and the link state for it. It
// attaches to the window's TTextView (`DisplayMemo`), owns `PopupMenu1`, and leaves the commands
// that are the window's own (`S1`, save; `Help1`, help) for the window to connect.
#pragma once

#include <QObject>
#include <QPoint>
#include <exception>
#include <functional>
#include <string>

#include "view/widget/text_view.h"

class QAction;
class QMenu;

namespace torvane::view {

// The message shown for an error that carries none of its own (anything thrown that is not a
// std::exception). The window's guards use it too.
inline constexpr char kUnknownErrorMessage[] = "Unknown error.";

inline constexpr char kUrlHint[] = "ダブルクリックするとこのサイトにアクセスします";
inline constexpr char kMailHint[] = "ダブルクリックするとメールソフトを起動します";
inline constexpr char kCopyUrlCaption[] = "このURLをコピー(&U)";
inline constexpr char kCopyMailCaption[] = "このメールアドレスをコピー(&U)";

class TResultView : public QObject {
    Q_OBJECT

  public:
    // Configures `memo` as the report view and connects its events to the handlers.
    // `memo` must outlive this object.
    explicit TResultView(TTextView* memo, QObject* parent = nullptr);
    ~TResultView() override;

    TTextView* DisplayMemo() const { return memo_; }
    QMenu* PopupMenu1() const { return popupMenu_; }
    QAction* Open1() const { return open1_; }
    QAction* N2() const { return n2_; }
    QAction* Copy1() const { return copy1_; }
    QAction* URL1() const { return url1_; }
    QAction* N1() const { return n1_; }
    QAction* SelectAll1() const { return selectAll1_; }
    QAction* N3() const { return n3_; }
    QAction* S1() const { return s1_; }  // the window connects its save command
    QAction* N4() const { return n4_; }
    QAction* Help1() const { return help1_; }  // the window connects its help command

    // Link state: the UTF-8 text of the URL or mail address under the pointer at its last move
    // over the view; at most one of the two is non-empty.
    const std::string& HoveredUrl() const { return hoveredUrl_; }
    const std::string& HoveredMail() const { return hoveredMail_; }

    // Receives every exception that escapes a handler run from an event (the window's error
    // handler); anything thrown that is not a std::exception arrives as one carrying
    // kUnknownErrorMessage. Without a handler, the message goes to the Qt warning log.
    void setErrorHandler(std::function<void(const std::exception&)> handler);

    // --- Handlers ---
    void DisplayMemoMouseMove(const QPoint& point);
    void DisplayMemoMouseDown(Qt::MouseButton button, const QPoint& point);
    void DisplayMemoDblClick();
    void Open1Click();
    void PopupMenu1Popup();
    void Copy1Click();
    void URL1Click();
    void SelectAll1Click();
    void DisplayMemoResize();
    void DisplayMemoDrawLine(const TDrawnRow& row);
    // A mouse-wheel notification: one row up for a positive delta, one row down otherwise,
    // however far the wheel turned.
    void FormMouseWheel(int wheelDelta);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <typename Handler>
    void guarded(Handler&& handler);
    void report(const std::exception& error);
    void buildPopupMenu();
    void connectEvents();

    TTextView* memo_;
    QMenu* popupMenu_ = nullptr;
    QAction* open1_ = nullptr;
    QAction* n2_ = nullptr;
    QAction* copy1_ = nullptr;
    QAction* url1_ = nullptr;
    QAction* n1_ = nullptr;
    QAction* selectAll1_ = nullptr;
    QAction* n3_ = nullptr;
    QAction* s1_ = nullptr;
    QAction* n4_ = nullptr;
    QAction* help1_ = nullptr;
    std::string hoveredUrl_;
    std::string hoveredMail_;
    std::function<void(const std::exception&)> errorHandler_;
};

}  // namespace torvane::view
