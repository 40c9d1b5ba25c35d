#include "view/result/platform_opener.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <memory>
#include <utility>

namespace torvane::view {

TPlatformOpener::TPlatformOpener(std::optional<QProcessEnvironment> environment, QObject* parent)
    : QObject(parent), environment_(std::move(environment)) {}

TPlatformOpener::~TPlatformOpener() {
    for (QProcess* process : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        process->disconnect(this);
        // Only xdg-open itself ends: what it started lives in its own session and keeps running.
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
}

QString TPlatformOpener::XdgOpen() const {
    const QString name = QStringLiteral("xdg-open");
    if (!environment_) return QStandardPaths::findExecutable(name);
    const QStringList path =
        environment_->value(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts);
    return path.isEmpty() ? QString() : QStandardPaths::findExecutable(name, path);
}

void TPlatformOpener::Open(const QUrl& url, OpenDone done) {
    const QString program = XdgOpen();
    if (program.isEmpty()) {
        done(QDesktopServices::openUrl(url));
        return;
    }
    auto* process = new QProcess(this);
    // A crash reports both an error and a finish; the first one to arrive is the outcome.
    auto pending = std::make_shared<OpenDone>(std::move(done));
    auto finish = [process, pending](bool opened) {
        if (!*pending) return;
        const OpenDone heard = std::exchange(*pending, nullptr);
        process->deleteLater();
        heard(opened);
    };
    connect(process, &QProcess::finished, this, [finish](int code, QProcess::ExitStatus status) {
        finish(status == QProcess::NormalExit && code == 0);
    });
    connect(process, &QProcess::errorOccurred, this, [finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) finish(false);
    });
    if (environment_) process->setProcessEnvironment(*environment_);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setChildProcessModifier([] { ::setsid(); });
    process->setProgram(program);
    process->setArguments(
        {url.isLocalFile() ? url.toLocalFile() : QString::fromLatin1(url.toEncoded())});
    process->start();
}

TPlatformOpener& TPlatformOpener::Program() {
    static QPointer<TPlatformOpener> opener;
    if (opener.isNull()) opener = new TPlatformOpener(std::nullopt, QCoreApplication::instance());
    return *opener;
}

}  // namespace torvane::view
