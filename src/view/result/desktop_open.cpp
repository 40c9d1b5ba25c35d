#include "view/result/desktop_open.h"

#include <QDesktopServices>
#include <QString>

#include "encoding/code_page.h"

namespace torvane::view {
namespace {

void OpenWithPlatform(const std::string& target) {
    QDesktopServices::openUrl(DesktopUrlFor(target));
}

DesktopOpener& CurrentOpener() {
    static DesktopOpener opener = OpenWithPlatform;
    return opener;
}

}  // namespace

void OpenWithDesktop(const std::string& target) { CurrentOpener()(target); }

DesktopOpener SetDesktopOpener(DesktopOpener opener) {
    DesktopOpener previous = std::move(CurrentOpener());
    CurrentOpener() = opener ? std::move(opener) : DesktopOpener(OpenWithPlatform);
    return previous;
}

QUrl DesktopUrlFor(const std::string& target) {
    QString text = QString::fromStdU16String(encoding::Cp932ToUtf16(target));
    if (text.startsWith(QStringLiteral("www."))) text.prepend(QStringLiteral("http://"));
    return QUrl(text, QUrl::TolerantMode);
}

}  // namespace torvane::view
