// The desktop's own opener: xdg-open, whose exit status says whether a program took a hand-off.
//
// xdg-open runs as a child process that nothing waits for: without a desktop environment it
// runs as long as the browser it started. It writes where the program writes, so the browser
// never holds a pipe of ours, and it starts a session of its own, so that neither a signal to
// the program's terminal nor the end of the program reaches the browser.
#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QUrl>
#include <optional>

#include "view/result/desktop_open.h"

namespace torvane::view {

class TPlatformOpener : public QObject {
  public:
    // `environment` is the one xdg-open is looked up in (its PATH) and runs in; without one, the
    // program's own.
    explicit TPlatformOpener(std::optional<QProcessEnvironment> environment = std::nullopt,
                             QObject* parent = nullptr);
    // Ends the xdg-open processes still running, never what they started, and drops their
    // completions unheard.
    ~TPlatformOpener() override;

    // Hands `url` to xdg-open (a local file as its path). `done` hears, from the event loop, true
    // when xdg-open exits with status 0 and false when it exits otherwise, crashes or cannot
    // start. Without xdg-open, it hears QDesktopServices::openUrl's answer within the call.
    void Open(const QUrl& url, OpenDone done);

    // The program's opener, owned by the application object so that it goes while the event
    // loop still exists. Precondition: a QCoreApplication exists.
    static TPlatformOpener& Program();

  private:
    QString XdgOpen() const;

    std::optional<QProcessEnvironment> environment_;
};

}  // namespace torvane::view
