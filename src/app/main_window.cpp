#include "app/main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/find_bar.h"
#include "app/hint_window.h"
#include "app/qt_text.h"
#include "app/run/history.h"
#include "app/run/rdap_directory.h"
#include "app/run/run_texts.h"
#include "app/window_texts.h"
#include "view/result/desktop_open.h"
#include "view/result/result_view.h"
#include "view/widget/report_font.h"
#include "view/widget/text_view.h"

namespace torvane::app {

namespace {

// Sizes of the window design, made at 120 pixels per inch.
constexpr double kDesignDpi = 120.0;
constexpr QSize kDesignWindowSize(918, 561);
constexpr int kPanel1Height = 87;
constexpr int kStatusBarHeight = 24;
constexpr int kWindowFontPixels = 15;
constexpr int kLabelFontPixels = 13;

// Position and width in design pixels inside Panel1; height 0 keeps the
// control's natural height.
struct Place {
    int x, y, width, height;
};
constexpr Place kLabel1{14, 18, 0, 0};
constexpr Place kQueryEdit{264, 12, 425, 0};
constexpr Place kQueryButton{700, 12, 93, 26};
constexpr Place kCancelButton{796, 12, 93, 26};
constexpr Place kCheckBox1{10, 56, 0, 0};
constexpr Place kCheckBox2{144, 56, 0, 0};
constexpr Place kHostEdit{360, 50, 218, 0};
constexpr Place kCheckBox3{584, 56, 0, 0};
constexpr Place kButton1{700, 52, 93, 26};
constexpr Place kButton2{796, 52, 93, 26};
// What the window must keep in view at its smallest: every control of
// Panel1, and a few report rows under it.
constexpr QSize kDesignMinimumSize(kButton2.x + kButton2.width + 10,
                                   kPanel1Height + kStatusBarHeight + 100);
// The report shows at least this many cells per row at the default size, so
// the registries' 80-column banners never wrap.
constexpr int kReportColumns = 80;

// The smallest a caption's font shrinks to so that the caption fits its room.
constexpr int kSmallestCaptionPixels = 9;
// HostEdit gives up at most this much of its width so that "IANA・RDAPで補完" fits on one line
// beside it.
constexpr int kHostEditNarrowest = 150;

// The width `control` needs to show its caption whole. A push button's own size hint has a
// minimum width of the style's, wider than the caption needs.
int CaptionWidth(const QWidget* control) {
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        const QStyle* style = button->style();
        return button->fontMetrics().horizontalAdvance(button->text()) +
               2 * (style->pixelMetric(QStyle::PM_ButtonMargin) +
                    style->pixelMetric(QStyle::PM_DefaultFrameWidth));
    }
    return control->sizeHint().width();
}

// Shrinks `control`'s font until its caption fits `width`, and never below
// kSmallestCaptionPixels; a caption that fits keeps the font it has.
void FitCaption(QWidget* control, int width) {
    QFont font = control->font();
    while (CaptionWidth(control) > width && font.pixelSize() > kSmallestCaptionPixels) {
        font.setPixelSize(font.pixelSize() - 1);
        control->setFont(font);
    }
}

}  // namespace

// The report as the run logic sees it: the lines of DisplayMemo.
class Tbody::ViewReport : public run::IReport {
  public:
    ViewReport(view::TTextView& memo, view::TResultView& resultView)
        : memo_(memo), resultView_(resultView) {}
    void Clear() override { memo_.clear(); }
    void Append(const std::string& line) override { memo_.appendLine(line); }
    void Insert(int index, const std::string& line) override {
        memo_.insertLine(static_cast<std::size_t>(index), line);
    }
    void AppendLines(query::TLines lines) override { memo_.appendLines(std::move(lines)); }
    void InsertLines(int index, query::TLines lines) override {
        memo_.insertLines(static_cast<std::size_t>(index), std::move(lines));
    }
    void RemoveLines(int index, int count) override {
        memo_.removeLines(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    }
    int Count() const override { return static_cast<int>(memo_.count()); }
    void BeginUpdate() override { memo_.beginUpdate(); }
    void EndUpdate() override { memo_.endUpdate(); }
    void ScrollToTop() override {
        memo_.caretToStart();
        memo_.scrollCaretIntoView();
        resultView_.DisplayMemoResize();
    }

  private:
    view::TTextView& memo_;
    view::TResultView& resultView_;
};

Tbody::Tbody(WindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    scale_ = logicalDpiY() / kDesignDpi;
    // On a screen too small for the design at this density, the design
    // shrinks as a whole, so that every control stays where the design puts
    // it relative to the others and all of them stay within reach.
    if (const QScreen* display = screen()) {
        const QSize area = display->availableGeometry().size();
        scale_ = std::min({scale_, double(area.width()) / kDesignMinimumSize.width(),
                           double(area.height()) / kDesignMinimumSize.height()});
    }
    InstallPlatformServices();
    BuildControls();
    PlaceControls();
    FormCreate();
    FitToScreen();
    InstallShortcuts();
}

Tbody::~Tbody() { FormDestroy(); }

int Tbody::Scaled(int designPixels) const { return static_cast<int>(designPixels * scale_ + 0.5); }

void Tbody::BuildControls() {
    applicationTitle_ = QStringLiteral("Torvane");
    setWindowTitle(applicationTitle_);
    setFont(view::WindowFont(Scaled(kWindowFontPixels)));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    panel1_ = new QWidget(central);
    panel1_->setFixedHeight(Scaled(kPanel1Height));
    column->addWidget(panel1_);
    displayMemo_ = new view::TTextView(central);  // Panel2's only control fills it
    displayMemo_->setObjectName("DisplayMemo");
    column->addWidget(displayMemo_, 1);
    findBar_ = new TFindBar(*displayMemo_, central);
    column->addWidget(findBar_);
    setCentralWidget(central);

    label1_ =
        new QLabel(QString::fromUtf8("ドメイン名、IPアドレス、URL、メールアドレス>"), panel1_);
    label1_->setFont(view::WindowFont(Scaled(kLabelFontPixels)));
    queryEdit_ = new QComboBox(panel1_);
    queryEdit_->setEditable(true);
    queryEdit_->setInsertPolicy(QComboBox::NoInsert);
    queryEdit_->setObjectName("QueryEdit");
    // Suggestions from the history drop down; they never complete the typed
    // line in place, so Return runs exactly what was typed.
    queryEdit_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    queryEdit_->completer()->setCaseSensitivity(Qt::CaseSensitive);
    queryEdit_->completer()->popup()->installEventFilter(this);
    queryButton_ = new QPushButton(QString::fromUtf8("実行"), panel1_);
    queryButton_->setDefault(true);
    cancelButton_ = new QPushButton(QString::fromUtf8("キャンセル"), panel1_);
    cancelButton_->setEnabled(false);
    checkBox1_ = new QCheckBox(QString::fromUtf8("自動補正を実行"), panel1_);
    checkBox1_->setChecked(true);
    checkBox2_ = new QCheckBox(QString::fromUtf8("WHOISサーバを手動で指定 >"), panel1_);
    hostEdit_ = new QComboBox(panel1_);
    hostEdit_->setEditable(true);
    hostEdit_->setInsertPolicy(QComboBox::NoInsert);
    hostEdit_->setObjectName("HostEdit");
    checkBox3_ = new QCheckBox(QString::fromUtf8(texts::kFallbackCaption), panel1_);
    checkBox3_->setChecked(true);
    button1_ = new QPushButton(QString::fromUtf8("ヘルプ"), panel1_);
    button2_ = new QPushButton(QStringLiteral("ABOUT"), panel1_);

    statusText_ = new QLabel(this);
    statusBar()->addWidget(statusText_, 1);
    statusBar()->setFixedHeight(Scaled(kStatusBarHeight));
    statusBar()->setSizeGripEnabled(true);

    // What a screen reader says for the two boxes: the captions that name them on screen.
    label1_->setBuddy(queryEdit_);
    queryEdit_->setAccessibleName(label1_->text().chopped(1));
    hostEdit_->setAccessibleName(QString::fromUtf8(texts::kHostEditName));

    QWidget::setTabOrder(queryEdit_, queryButton_);
    QWidget::setTabOrder(queryButton_, cancelButton_);
    QWidget::setTabOrder(cancelButton_, checkBox1_);
    QWidget::setTabOrder(checkBox1_, checkBox2_);
    QWidget::setTabOrder(checkBox2_, hostEdit_);
    QWidget::setTabOrder(hostEdit_, checkBox3_);
    QWidget::setTabOrder(checkBox3_, button1_);
    QWidget::setTabOrder(button1_, button2_);

    connect(queryButton_, &QPushButton::clicked, this,
            [this] { Guarded([this] { QueryButtonClick(); }); });
    connect(cancelButton_, &QPushButton::clicked, this,
            [this] { Guarded([this] { CancelButtonClick(); }); });
    connect(button1_, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(button2_, &QPushButton::clicked, this, [this] { Guarded([this] { Button2Click(); }); });
}

void Tbody::PlaceControls() {
    const auto place = [this](QWidget* control, const Place& at) {
        const int height = at.height > 0 ? Scaled(at.height) : control->sizeHint().height();
        const int width = at.width > 0 ? Scaled(at.width) : control->sizeHint().width();
        control->setGeometry(Scaled(at.x), Scaled(at.y), width, height);
    };
    place(label1_, kLabel1);
    place(queryEdit_, kQueryEdit);
    place(queryButton_, kQueryButton);
    place(cancelButton_, kCancelButton);
    place(checkBox1_, kCheckBox1);
    place(checkBox2_, kCheckBox2);
    place(hostEdit_, kHostEdit);
    place(button1_, kButton1);
    place(button2_, kButton2);
    PlaceCheckBox3();
}

void Tbody::PlaceCheckBox3() {
    // On CheckBox2's row, on one line in the window's font like the other boxes, between HostEdit
    // and Button1. HostEdit gives up some of its width when the caption needs it.
    const int gap = Scaled(6);
    const int needed = checkBox3_->sizeHint().width();
    const int narrowest = Scaled(kHostEditNarrowest);
    const int spare = button1_->x() - gap - (hostEdit_->geometry().right() + 1 + gap);
    if (needed > spare)
        hostEdit_->resize(std::max(narrowest, hostEdit_->width() - (needed - spare)),
                          hostEdit_->height());
    const int left = hostEdit_->geometry().right() + 1 + gap;
    const int room = button1_->x() - gap - left;
    FitCaption(checkBox3_, room);
    const QSize hint = checkBox3_->sizeHint();
    checkBox3_->setGeometry(left, checkBox2_->geometry().center().y() - hint.height() / 2,
                            std::min(hint.width(), room), hint.height());
}

void Tbody::FormCreate() {
    // The labels reach their right-hand neighbours, so that their texts are
    // never cut short at larger font sizes.
    label1_->resize(queryEdit_->x() - label1_->x() - 1, label1_->height());
    checkBox2_->resize(hostEdit_->x() - checkBox2_->x() - 1, checkBox2_->height());
    // No caption is ever clipped: one too wide for its room at this font (another locale's faces,
    // a large screen font) gets a smaller font.
    FitCaption(label1_, label1_->width());
    const int checkBox1Room = checkBox2_->x() - checkBox1_->x() - 1;
    FitCaption(checkBox1_, checkBox1Room);
    checkBox1_->resize(std::min(checkBox1_->sizeHint().width(), checkBox1Room),
                       checkBox1_->height());
    FitCaption(checkBox2_, checkBox2_->width());
    for (QPushButton* button : {queryButton_, cancelButton_, button1_, button2_})
        FitCaption(button, button->width());

    resultView_ = std::make_unique<view::TResultView>(displayMemo_);
    resultView_->setErrorHandler(
        [this](const std::exception& error) { ApplicationErrorHandler(error.what()); });
    connect(resultView_->S1(), &QAction::triggered, this,
            [this] { Guarded([this] { S1Click(); }); });
    connect(resultView_->Help1(), &QAction::triggered, this,
            [this] { Guarded([this] { Button1Click(); }); });
    hintWindow_ = new TXPHintWindow(this);
    displayMemo_->setHintShower([this](const QPoint& globalPos, const QString& text, QWidget*) {
        hintWindow_->ShowHint(globalPos, text);
    });
    report_ = std::make_unique<ViewReport>(*displayMemo_, *resultView_);

    directory_ = std::make_unique<query::TServerDirectory>();
    for (const std::string& host : directory_->Suggestions()) hostEdit_->addItem(FromUtf8(host));
    hostEdit_->setEditText(QStringLiteral("whois."));

    if (options_.resolver == nullptr) systemResolver_ = std::make_unique<run::TSystemResolver>();
    run::IResolver& resolver = options_.resolver ? *options_.resolver : *systemResolver_;
    const std::filesystem::path historyFile =
        options_.historyFile.isEmpty()
            ? run::HistoryFilePath(
                  options_.programDir.toStdString(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString())
            : std::filesystem::path(options_.historyFile.toStdString());
    controller_ = std::make_unique<run::TRunController>(*this, resolver, *directory_, historyFile);
    rdapDirectory_ = run::ProgramRdapDirectory(
        options_.programDir.toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(), true);
    controller_->SetRdapDirectory(rdapDirectory_.get());
    // The window opens even when the history cannot be read; the status bar
    // says why.
    Guarded([this] { controller_->LoadHistory(); });
    queryEdit_->setEditText(QString());
    // A hand-off ends later, perhaps after this window has gone; a window that goes leaves the
    // notice of a newer one in place.
    view::SetOpenFailureNotice([window = QPointer<Tbody>(this)](const QUrl& url) {
        if (!window.isNull()) window->ShowCannotOpen(url);
    });
    queryEdit_->setFocus();
}

void Tbody::FitToScreen() {
    const int reportWidth = displayMemo_->textAreaLeft() + displayMemo_->cellWidth() / 2 +
                            displayMemo_->verticalScrollBarWidth() +
                            kReportColumns * displayMemo_->cellWidth();
    QSize size(std::max(Scaled(kDesignWindowSize.width()), reportWidth),
               Scaled(kDesignWindowSize.height()));
    QSize minimum(Scaled(kDesignMinimumSize.width()), Scaled(kDesignMinimumSize.height()));
    if (const QScreen* display = screen()) {
        // The window manager's title bar comes on top of the window's own size.
        const QSize area = display->availableGeometry().size() -
                           QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
        size = size.boundedTo(area);
        minimum = minimum.boundedTo(area);
    }
    setMinimumSize(minimum);
    resize(size);
}

void Tbody::InstallShortcuts() {
    auto* toQuery = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(toQuery, &QShortcut::activated, this,
            [this] { Guarded([this] { FocusQueryAndSelect(); }); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] { Guarded([this] { findBar_->Open(); }); });
}

void Tbody::FocusQueryAndSelect() {
    queryEdit_->setFocus(Qt::ShortcutFocusReason);
    queryEdit_->lineEdit()->selectAll();
}

void Tbody::ShowCannotOpen(const QUrl& url) {
    const QString what =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    statusText_->setText(what + QString::fromUtf8(texts::kCannotOpenSuffix));
}

void Tbody::FormDestroy() {
    // The legs go before the report and the lists they write to.
    controller_.reset();
    report_.reset();
    resultView_.reset();
}

std::string Tbody::QueryText() const { return ToUtf8(queryEdit_->currentText()); }
bool Tbody::AutoCorrect() const { return checkBox1_->isChecked(); }
bool Tbody::ManualServer() const { return checkBox2_->isChecked(); }
std::string Tbody::ManualHost() const { return ToUtf8(hostEdit_->currentText()); }
bool Tbody::Fallback() const { return checkBox3_->isChecked(); }
void Tbody::FocusQuery() { queryEdit_->setFocus(); }
run::IReport& Tbody::Report() { return *report_; }
void Tbody::SetStatus(const std::string& text) { statusText_->setText(FromUtf8(text)); }

void Tbody::SetCaption(const std::string& text) {
    applicationTitle_ = FromUtf8(text);
    setWindowTitle(applicationTitle_);
}

void Tbody::SetRunning(bool running) {
    queryButton_->setEnabled(!running);
    cancelButton_->setEnabled(running);
    if (running && busyCursors_ == 0) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyCursors_;
    } else if (!running) {
        for (; busyCursors_ > 0; --busyCursors_) QApplication::restoreOverrideCursor();
        // Finished or cancelled: the next query can be typed over this one.
        FocusQueryAndSelect();
    }
}

void Tbody::ShowHistory(const std::vector<std::string>& items) {
    queryEdit_->clear();
    for (const std::string& item : items) queryEdit_->addItem(FromUtf8(item));
    if (!items.empty()) queryEdit_->setCurrentIndex(0);
}

void Tbody::RunFinished() {
    if (options_.closeAfterRun) close();
}

void Tbody::QueryButtonClick() { controller_->QueryButtonClick(); }
void Tbody::CancelButtonClick() { controller_->CancelButtonClick(); }

void Tbody::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ApplicationErrorHandler(error.what());
    } catch (...) {
        ApplicationErrorHandler(view::kUnknownErrorMessage);
    }
}

void Tbody::ApplicationErrorHandler(const std::string& message) {
    SetRunning(false);
    displayMemo_->endUpdate();
    try {
        controller_->CancelButtonClick();
    } catch (...) {
        // Cancelling is best effort here; the first error is the one to show.
    }
    SetStatus(run::ErrorStatus(message));
}

bool Tbody::eventFilter(QObject* watched, QEvent* event) {
    // Return while suggestions are open and none is chosen runs the typed
    // line; the suggestions only close.
    if (event->type() == QEvent::KeyPress && watched == queryEdit_->completer()->popup()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* popup = static_cast<QAbstractItemView*>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !popup->currentIndex().isValid()) {
            popup->hide();
            if (queryButton_->isEnabled()) queryButton_->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tbody::keyPressEvent(QKeyEvent* event) {
    // Keys that no control took: Return runs the default button, Escape the
    // cancel button, as in a dialog.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        auto* focusedButton = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* target = focusedButton ? focusedButton : queryButton_;
        if (target->isEnabled()) target->click();
        return;
    }
    if (key == Qt::Key_Escape) {
        if (cancelButton_->isEnabled()) cancelButton_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Tbody::closeEvent(QCloseEvent* event) {
    hintWindow_->hide();
    QMainWindow::closeEvent(event);
}

}  // namespace torvane::app
