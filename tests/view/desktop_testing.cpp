#include "desktop_testing.h"

#include <QDir>
#include <QFile>

namespace torvane::view::testing {
namespace {

void WriteProgram(const QString& path, const QString& script) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(script.toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

DesktopSandbox::DesktopSandbox() {
    for (const char* folder : {"home", "data", "config", "bin"}) QDir(dir_.path()).mkdir(folder);
    QFile(File(QStringLiteral("mailcap"))).open(QIODevice::WriteOnly);
}

QString DesktopSandbox::File(const QString& name) const { return dir_.filePath(name); }

QProcessEnvironment DesktopSandbox::Base() const {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), File(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), File(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), File(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), File(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), File(QStringLiteral("config")));
    environment.insert(QStringLiteral("MAILCAPS"), File(QStringLiteral("mailcap")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + File(QStringLiteral("no-bus")));
    return environment;
}

QProcessEnvironment DesktopSandbox::WithBrowser(const QString& browser) const {
    QProcessEnvironment environment = Base();
    environment.insert(QStringLiteral("BROWSER"), browser);
    return environment;
}

QProcessEnvironment DesktopSandbox::WithXdgOpen(const QString& script) const {
    WriteProgram(File(QStringLiteral("bin/xdg-open")), script);
    QProcessEnvironment environment = Base();
    environment.insert(QStringLiteral("PATH"),
                       File(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"));
    return environment;
}

QString DesktopSandbox::Browser(int status, bool waits) const {
    const QString path = File(QStringLiteral("browser-%1%2").arg(status).arg(waits ? "w" : ""));
    QString script = QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\n")
                         .arg(File(QStringLiteral("recorded")));
    if (waits)
        script += QStringLiteral("while [ ! -e '%1' ]; do sleep 0.05; done\necho >> '%2'\n")
                      .arg(File(QStringLiteral("release")), File(QStringLiteral("ended")));
    script += QStringLiteral("exit %1\n").arg(status);
    WriteProgram(path, script);
    return path;
}

QStringList DesktopSandbox::Recorded() const {
    QFile file(File(QStringLiteral("recorded")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void DesktopSandbox::Release() const {
    QFile(File(QStringLiteral("release"))).open(QIODevice::WriteOnly);
}

bool DesktopSandbox::BrowserEnded() const { return QFile::exists(File(QStringLiteral("ended"))); }

}  // namespace torvane::view::testing
