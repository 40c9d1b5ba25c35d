#pragma once
// Tbody: Torvane's main window. It holds the controls, the report view and
// the run controller, shows what a run tells it (IRunWindow), and carries the
// commands of its buttons and menus. Every entry from Qt into its code goes
// through Guarded, which hands an escaping error to the application error
// handler.

#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/run/run_controller.h"
#include "app/run/run_window.h"
#include "query/server_directory.h"
#include "view/widget/text_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace torvane::view {
class TTextView;
class TResultView;
}  // namespace torvane::view

namespace torvane::app {

class TFindBar;
class TXPHintWindow;

// What a message box shows; the window's commands go through a replaceable
// function so tests can see them.
struct MessageBoxRequest {
    enum class Icon { Error, Information, Question } icon;
    QString title;
    QString text;
    // A question offers Yes and No; every other box only OK.
    enum class Buttons { Ok, YesNo } buttons = Buttons::Ok;
};

// Where and in which code the user chose to save the report; an empty path when cancelled.
struct SaveTarget {
    QString path;
    view::TTextView::FileCode code = view::TTextView::FileCode::utf8;
};

struct WindowOptions {
    // The program was started with at least one argument: the window closes
    // when a run finishes.
    bool closeAfterRun = false;
    // Where Readme.txt and log.txt are looked for; the program's folder.
    QString programDir;
    // The history file; empty chooses beside the program or the user's data
    // folder.
    QString historyFile;
    // The resolver of the DNS information; null uses the system's.
    run::IResolver* resolver = nullptr;
};

class Tbody : public QMainWindow, public run::IRunWindow {
    Q_OBJECT

  public:
    explicit Tbody(WindowOptions options, QWidget* parent = nullptr);
    ~Tbody() override;

    // --- IRunWindow ---
    std::string QueryText() const override;
    bool AutoCorrect() const override;
    bool ManualServer() const override;
    std::string ManualHost() const override;
    bool Fallback() const override;
    void FocusQuery() override;
    run::IReport& Report() override;
    void SetStatus(const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void SetRunning(bool running) override;
    void ShowHistory(const std::vector<std::string>& items) override;
    void RunFinished() override;

    // --- Commands ---
    void QueryButtonClick();
    void CancelButtonClick();
    void Button1Click();  // help
    void Button2Click();  // about
    void S1Click();       // save the report
    // Ctrl+L: the focus to the query box, its text selected.
    void FocusQueryAndSelect();
    // Cancels the run and shows "エラー" + the message (UTF-8, as exceptions
    // carry it) in the status bar.
    void ApplicationErrorHandler(const std::string& message);
    // Runs `handler`, routing any escaping error to the error handler.
    void Guarded(const std::function<void()>& handler);

    // --- Replaceable platform services (tests record instead) ---
    // Shows a message box; true when the user answered Yes (and for a box with only OK).
    std::function<bool(const MessageBoxRequest&)> ShowMessageBox;
    // Asks for a file name and code to save in, proposing `proposed` (a full path).
    std::function<SaveTarget(const QString& proposed)> AskSaveFileName;

    // --- Controls, named as in the window design ---
    QComboBox* QueryEdit() const { return queryEdit_; }
    QPushButton* QueryButton() const { return queryButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    QCheckBox* CheckBox1() const { return checkBox1_; }
    QCheckBox* CheckBox2() const { return checkBox2_; }
    QComboBox* HostEdit() const { return hostEdit_; }
    // "IANA・RDAPで補完": what Fallback() reads.
    QCheckBox* CheckBox3() const { return checkBox3_; }
    QPushButton* Button1() const { return button1_; }
    QPushButton* Button2() const { return button2_; }
    QLabel* Label1() const { return label1_; }
    QLabel* StatusBar1() const { return statusText_; }
    view::TTextView* DisplayMemo() const { return displayMemo_; }
    view::TResultView* ResultView() const { return resultView_.get(); }
    TXPHintWindow* HintWindow() const { return hintWindow_; }
    TFindBar* FindBar() const { return findBar_; }
    // The read-only window help shows Readme.txt in when no desktop program
    // opens it; null until then.
    QPlainTextEdit* ReadmeWindow() const { return readmeWindow_; }
    run::TRunController& Controller() { return *controller_; }
    QString ApplicationTitle() const { return applicationTitle_; }
    // The design's 120-pixels-per-inch sizes scaled to this screen.
    int Scaled(int designPixels) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class ViewReport;

    void FormCreate();
    void FormDestroy();
    void BuildControls();
    void PlaceControls();
    void PlaceCheckBox3();
    void FitToScreen();
    void InstallShortcuts();
    QString ReadmePath() const;
    // The save dialog's proposal: the shown run's name + ".txt" in the folder last saved to, else
    // the user's documents folder.
    QString ProposedSaveName() const;
    void ShowReadmeInOwnWindow(const QString& path);
    void ShowCannotOpen(const QUrl& url);
    void InstallPlatformServices();

    WindowOptions options_;
    double scale_ = 1.0;
    QString applicationTitle_;
    QString lastSaveFolder_;
    int busyCursors_ = 0;

    QWidget* panel1_ = nullptr;
    QLabel* label1_ = nullptr;
    QComboBox* queryEdit_ = nullptr;
    QPushButton* queryButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QCheckBox* checkBox2_ = nullptr;
    QComboBox* hostEdit_ = nullptr;
    QCheckBox* checkBox3_ = nullptr;
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QLabel* statusText_ = nullptr;
    view::TTextView* displayMemo_ = nullptr;
    TXPHintWindow* hintWindow_ = nullptr;
    TFindBar* findBar_ = nullptr;
    QPlainTextEdit* readmeWindow_ = nullptr;

    std::unique_ptr<view::TResultView> resultView_;
    std::unique_ptr<ViewReport> report_;
    std::unique_ptr<run::IResolver> systemResolver_;
    std::unique_ptr<query::TServerDirectory> directory_;
    std::unique_ptr<run::TRdapDirectory> rdapDirectory_;
    std::unique_ptr<run::TRunController> controller_;
};

}  // namespace torvane::app
