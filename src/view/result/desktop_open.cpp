#include "view/result/desktop_open.h"

#include "view/result/platform_opener.h"

namespace torvane::view {
namespace {

void OpenWithPlatform(const QUrl& url, OpenDone done) {
    TPlatformOpener::Program().Open(url, std::move(done));
}

DesktopOpener& CurrentOpener() {
    static DesktopOpener opener = OpenWithPlatform;
    return opener;
}

OpenFailureNotice& CurrentNotice() {
    static OpenFailureNotice notice;
    return notice;
}

void Open(const QUrl& url, OpenDone done) {
    CurrentOpener()(url, [url, done = std::move(done)](bool opened) {
        // The notice is looked up when the outcome arrives: the window that installed it may
        // have gone in the meantime.
        if (!opened && CurrentNotice()) CurrentNotice()(url);
        if (done) done(opened);
    });
}

}  // namespace

void OpenWithDesktop(const std::string& target, OpenDone done) {
    Open(DesktopUrlFor(target), std::move(done));
}

void OpenFileWithDesktop(const QString& path, OpenDone done) {
    Open(QUrl::fromLocalFile(path), std::move(done));
}

DesktopOpener SetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(CurrentOpener());
    CurrentOpener() = opener ? std::move(opener) : DesktopOpener(OpenWithPlatform);
    return previous;
}

void SetOpenFailureNotice(OpenFailureNotice notice) { CurrentNotice() = std::move(notice); }

QUrl DesktopUrlFor(const std::string& target) {
    QString text = QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size()));
    if (text.startsWith(QStringLiteral("www."))) text.prepend(QStringLiteral("http://"));
    return QUrl(text, QUrl::TolerantMode);
}

}  // namespace torvane::view
