// Handing a URL, a "mailto:" address or a file to the desktop's browser, mail program or viewer.
//
// Every hand-off goes through one replaceable opener: the platform's by default (see
// platform_opener.h), another one in tests. A hand-off ends later, when the desktop has said
// whether a program took it; when none did, the failure notice hears of it (the window shows a
// status text) before the caller's completion.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace torvane::view {

// Hears once whether a desktop program took the hand-off. It is called from the event loop (or
// within the opener's call) and must not throw: nothing above it could catch.
using OpenDone = std::function<void(bool opened)>;
// Hands `url` over and calls `done` exactly once, within the call or later from the event loop.
// It may throw instead, within the call; `done` is then never called.
using DesktopOpener = std::function<void(const QUrl& url, OpenDone done)>;
// Hears of every URL the opener could not hand over.
using OpenFailureNotice = std::function<void(const QUrl& url)>;

// Opens a link of the report: `target` is the UTF-8 text exactly as the report shows it (a
// "mailto:" address with its prefix), handed over as DesktopUrlFor makes it. `done`, when given,
// hears the outcome.
void OpenWithDesktop(const std::string& target, OpenDone done = {});

// Opens the file at `path` (any characters) as a file: URL.
void OpenFileWithDesktop(const QString& path, OpenDone done = {});

// Installs `opener` and returns the one it replaces; an empty function restores the platform's.
DesktopOpener SetDesktopOpener(DesktopOpener opener);

// Installs the failure notice; an empty function removes it. A hand-off that ends after the
// notice was removed tells no one.
void SetOpenFailureNotice(OpenFailureNotice notice);

// The URL for a link of the report (UTF-8): a "www." text gets "http://", as the desktop would
// resolve it; everything else goes as it is.
QUrl DesktopUrlFor(const std::string& target);

}  // namespace torvane::view
