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
#include "app/seam_text.h"
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
        QMessageBox box(request.icon == MessageBoxRequest::Icon::Error ? QMessageBox::Critical
                                                                       : QMessageBox::Information,
                        request.title, request.text, QMessageBox::Ok, this);
        box.exec();
    };
    AskSaveFileName = [this](const QString& proposed) {
        // The one filter entry "テキストファイル(*.txt)|*.txt" in Qt's form.
        QFileDialog dialog(this, QString(), QString(),
                           QString::fromUtf8("テキストファイル(*.txt)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        dialog.setSizeGripEnabled(true);
        dialog.setDirectory(QFileInfo(proposed).absolutePath());
        dialog.selectFile(QFileInfo(proposed).fileName());
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
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
                run::RunTitleName(ViewLineToRun(displayMemo_->line(0))))
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
    QString name = AskSaveFileName(ProposedSaveName());
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".txt");
    lastSaveFolder_ = QFileInfo(name).absolutePath();
    displayMemo_->saveToFile(name.toStdString());
    statusText_->setText(QDir::toNativeSeparators(name) + QString::fromUtf8(texts::kSavedSuffix));
}

}  // namespace torvane::app
