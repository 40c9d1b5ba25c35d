#include "view/result/desktop_open.h"

#include <QDesktopServices>

#include "encoding/code_page.h"

namespace torvane::view {
namespace {

bool OpenWithPlatform(const QUrl& url) { return QDesktopServices::openUrl(url); }

DesktopOpener& CurrentOpener() {
    static DesktopOpener opener = OpenWithPlatform;
    return opener;
}

OpenFailureNotice& CurrentNotice() {
    static OpenFailureNotice notice;
    return notice;
}

bool Open(const QUrl& url) {
    const bool opened = CurrentOpener()(url);
    if (!opened && CurrentNotice()) CurrentNotice()(url);
    return opened;
}

}  // namespace

bool OpenWithDesktop(const std::string& target) { return Open(DesktopUrlFor(target)); }

bool OpenFileWithDesktop(const QString& path) { return Open(QUrl::fromLocalFile(path)); }

DesktopOpener SetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(CurrentOpener());
    CurrentOpener() = opener ? std::move(opener) : DesktopOpener(OpenWithPlatform);
    return previous;
}

void SetOpenFailureNotice(OpenFailureNotice notice) { CurrentNotice() = std::move(notice); }

QUrl DesktopUrlFor(const std::string& target) {
    QString text = QString::fromStdU16String(encoding::Cp932ToUtf16(target));
    if (text.startsWith(QStringLiteral("www."))) text.prepend(QStringLiteral("http://"));
    return QUrl(text, QUrl::TolerantMode);
}

}  // namespace torvane::view
