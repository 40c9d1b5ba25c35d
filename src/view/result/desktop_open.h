// Handing a URL, a "mailto:" address or a file to the desktop's browser, mail program or viewer.
//
// Every hand-off goes through one replaceable opener: the platform's by default, a recorder in
// tests. When the opener reports that nothing took the hand-off, the failure notice hears of it
// (the window shows a status text).
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

namespace torvane::view {

// Receives the URL to open; returns whether a desktop program took it.
using DesktopOpener = std::function<bool(const QUrl& url)>;
// Hears of every URL the opener could not hand over.
using OpenFailureNotice = std::function<void(const QUrl& url)>;

// Opens a link of the report: `target` is the CP932 text exactly as the report shows it (a
// "mailto:" address with its prefix), handed over as DesktopUrlFor makes it. Returns the
// opener's answer.
bool OpenWithDesktop(const std::string& target);

// Opens the file at `path` (any characters, never passed through CP932) as a file: URL.
bool OpenFileWithDesktop(const QString& path);

// Installs `opener` and returns the one it replaces; an empty function restores the platform's.
DesktopOpener SetDesktopOpener(DesktopOpener opener);

// Installs the failure notice; an empty function removes it.
void SetOpenFailureNotice(OpenFailureNotice notice);

// The URL for a link of the report: a "www." text gets "http://", as the desktop would resolve
// it; everything else goes as it is.
QUrl DesktopUrlFor(const std::string& target);

}  // namespace torvane::view
