#pragma once
// What the program sets up before its window opens: the icon and Qt's own
// translations.

#include <QIcon>

class QCoreApplication;

namespace torvane::app {

// Torvane's icon from the PNG renderings built into the program, so it shows
// on a desktop without Qt's SVG plugin.
QIcon ProgramIcon();

// Loads Qt's own Japanese texts (file dialogs, message box buttons), to match
// the window's Japanese interface. Returns whether they were found; without
// them Qt's dialogs stay English.
bool LoadQtJapanese(QCoreApplication& application);

}  // namespace torvane::app
