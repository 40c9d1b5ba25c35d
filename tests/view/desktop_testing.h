// A desktop in which the real xdg-open finds nothing of its own: no display, no session bus, no
// desktop variables, no mailcap entries, a home and data folders of its own. The test chooses
// the browser (BROWSER) or, for the cases the real one cannot show, the xdg-open itself.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace torvane::view::testing {

class DesktopSandbox {
  public:
    DesktopSandbox();

    // The sandbox's environment with BROWSER set to `browser`.
    QProcessEnvironment WithBrowser(const QString& browser) const;
    // The sandbox's environment whose PATH finds a program named xdg-open, running the shell
    // `script`, before the system's.
    QProcessEnvironment WithXdgOpen(const QString& script) const;

    // A browser that records its argument (one line per call) and exits with `status`; one that
    // `waits` then stays until Release and records that it ended.
    QString Browser(int status, bool waits = false) const;
    // The arguments the browsers recorded, in order.
    QStringList Recorded() const;
    void Release() const;
    bool BrowserEnded() const;

  private:
    QString File(const QString& name) const;
    QProcessEnvironment Base() const;

    QTemporaryDir dir_;
};

}  // namespace torvane::view::testing
