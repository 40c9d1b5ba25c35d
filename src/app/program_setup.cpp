#include "app/program_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace torvane::app {

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/torvane/icons/torvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

bool LoadQtJapanese(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace torvane::app
