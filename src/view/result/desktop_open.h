// Handing a URL or a "mailto:" address to the desktop's browser or mail program.
//
// Every hand-off goes through OpenWithDesktop, whose work is done by one replaceable opener: the
// platform's by default, a recorder in tests.
#pragma once

#include <QUrl>
#include <functional>
#include <string>

namespace torvane::view {

// Receives the CP932 text exactly as the report shows it (a "mailto:" address with its prefix).
using DesktopOpener = std::function<void(const std::string& target)>;

// Asks the current opener to open `target`. The outcome is not examined.
void OpenWithDesktop(const std::string& target);

// Installs `opener` and returns the one it replaces; an empty function restores the platform's.
DesktopOpener SetDesktopOpener(DesktopOpener opener);

// The URL the platform's opener hands to the desktop for `target`: a "www." text gets "http://",
// as the desktop would resolve it; everything else goes as it is.
QUrl DesktopUrlFor(const std::string& target);

}  // namespace torvane::view
