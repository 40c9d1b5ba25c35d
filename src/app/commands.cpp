// The window's commands: help, about and save.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>
#include <stdexcept>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/run/run_texts.h"
#include "app/window_texts.h"
#include "view/result/desktop_open.h"
#include "view/widget/report_font.h"
#include "view/widget/text_view.h"

namespace torvane::app {

namespace {
const char* const kReadme = "Readme.txt";
const char* const kAboutText =
    "Torvane version 1.0\n"
    "\n"
    "Copyright (C) 2026 The Torvane developers";
}  // namespace

void Tbody::InstallPlatformServices() {
    ShowMessageBox = [this](const MessageBoxRequest& request) {
        using Icon = MessageBoxRequest::Icon;
        const bool yesNo = request.buttons == MessageBoxRequest::Buttons::YesNo;
        QMessageBox box(request.icon == Icon::Error      ? QMessageBox::Critical
                        : request.icon == Icon::Question ? QMessageBox::Question
                                                         : QMessageBox::Information,
                        request.title, request.text,
                        yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, this);
        if (yesNo) box.setDefaultButton(QMessageBox::No);
        const int answer = box.exec();
        return !yesNo || answer == QMessageBox::Yes;
    };
    AskSaveFileName = [this](const QString& proposed) {
        // One filter per code; UTF-8 first, the default.
        const QString utf8Filter = QString::fromUtf8(texts::kSaveFilterUtf8);
        const QString sjisFilter = QString::fromUtf8(texts::kSaveFilterShiftJis);
        QFileDialog dialog(this, QString(), QString(),
                           utf8Filter + QStringLiteral(";;") + sjisFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        dialog.setSizeGripEnabled(true);
        dialog.setDirectory(QFileInfo(proposed).absolutePath());
        dialog.selectFile(QFileInfo(proposed).fileName());
        if (dialog.exec() != QDialog::Accepted) return SaveTarget{};
        return SaveTarget{dialog.selectedFiles().value(0), dialog.selectedNameFilter() == sjisFilter
                                                               ? view::TTextView::FileCode::shiftJis
                                                               : view::TTextView::FileCode::utf8};
    };
}

QString Tbody::ReadmePath() const {
    // Beside the program (a portable install), else the installed data folder.
    const QString beside = QDir(options_.programDir).filePath(kReadme);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed =
        QDir(options_.programDir).filePath(QStringLiteral("../share/torvane/") + kReadme);
    if (QFileInfo::exists(installed)) return QDir::cleanPath(installed);
    const QString located = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                   QStringLiteral("torvane/") + kReadme);
    return located.isEmpty() ? beside : located;
}

void Tbody::Button1Click() {
    const QString path = ReadmePath();
    if (QFileInfo::exists(path)) {
        // The path goes to the desktop as it is: it may hold characters CP932 lacks. The
        // desktop answers later, when the window may have gone.
        view::OpenFileWithDesktop(path, [window = QPointer<Tbody>(this), path](bool opened) {
            if (opened || window.isNull()) return;
            window->Guarded([&] { window->ShowReadmeInOwnWindow(path); });
        });
        return;
    }
    ShowMessageBox({MessageBoxRequest::Icon::Error, QString::fromUtf8("エラー"),
                    QDir::toNativeSeparators(path) + QString::fromUtf8(" が見つかりません")});
}

void Tbody::ShowReadmeInOwnWindow(const QString& path) {
    // The user guide stays reachable on a desktop without a text viewer.
    if (readmeWindow_ == nullptr) {
        readmeWindow_ = new QPlainTextEdit(this);
        readmeWindow_->setWindowFlag(Qt::Window);
        readmeWindow_->setReadOnly(true);
        readmeWindow_->setWindowTitle(QString::fromUtf8(texts::kReadmeTitle));
        QFont font = view::ReportFont();
        font.setBold(false);
        readmeWindow_->setFont(font);
        readmeWindow_->resize(Scaled(800), Scaled(600));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(path.toStdString() + ": " + file.errorString().toStdString());
    readmeWindow_->setPlainText(QString::fromUtf8(file.readAll()));
    readmeWindow_->show();
    readmeWindow_->raise();
    readmeWindow_->activateWindow();
}

void Tbody::Button2Click() {
    ShowMessageBox({MessageBoxRequest::Icon::Information, QString::fromUtf8("このソフトについて"),
                    QString::fromUtf8(kAboutText)});
}

QString Tbody::ProposedSaveName() const {
    // The run's name, in the folder last saved to, else the user's documents.
    QString name = QStringLiteral("Torvane");
    if (displayMemo_->count() > 0) {
        if (const std::optional<std::string> run =
                run::RunTitleName(displayMemo_->line(0)))
            name = FromUtf8(*run);
    }
    // A name may hold what a file name cannot (an address prefix's "/").
    for (QChar& c : name)
        if (c == u'/' || c.category() == QChar::Other_Control) c = u'_';
    QString folder = lastSaveFolder_;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
    }
    return QDir(folder).filePath(name + QStringLiteral(".txt"));
}

void Tbody::S1Click() {
    const SaveTarget target = AskSaveFileName(ProposedSaveName());
    QString name = target.path;
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".txt");
    if (target.code == view::TTextView::FileCode::shiftJis &&
        displayMemo_->holdsCharsShiftJisLacks() &&
        !ShowMessageBox({MessageBoxRequest::Icon::Question, QString::fromUtf8(texts::kConfirmTitle),
                         QString::fromUtf8(texts::kShiftJisLosesCharacters),
                         MessageBoxRequest::Buttons::YesNo})) {
        return;
    }
    lastSaveFolder_ = QFileInfo(name).absolutePath();
    displayMemo_->saveToFile(name.toStdString(), target.code);
    statusText_->setText(QDir::toNativeSeparators(name) + QString::fromUtf8(texts::kSavedSuffix));
}

}  // namespace torvane::app
