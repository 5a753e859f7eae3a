#include "Game.h"
#include "ProgramIcon.h"
#include "RandomSource.h"
#include "Texts.h"
#include "Windows.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // Held until the program ends, so that its installer and uninstaller
    // can tell it is running (Inno Setup's AppMutex convention), whatever
    // folder it runs from. It is named after the app id.
    CreateMutexW(nullptr, FALSE, L"" WIRLEP_APP_ID);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(Texts::programName);
    QApplication::setApplicationVersion(QStringLiteral(WIRLEP_DISPLAY_VERSION));
    QApplication::setWindowIcon(ProgramIcon::icon());
    // The menu entry's name: on Wayland, the app id that docks and task
    // switchers find the entry, its name and its icon by.
    QGuiApplication::setDesktopFileName(QStringLiteral(WIRLEP_APP_ID));

    SystemRandom random;
    // The word lists lie beside the program (found through a symlink too).
    Game game(QCoreApplication::applicationDirPath(), random);
    Windows windows(game);
    windows.showMainWindow();
    return QApplication::exec();
}
