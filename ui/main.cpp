#include "Game.h"
#include "ProgramIcon.h"
#include "RandomSource.h"
#include "Texts.h"
#include "Windows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Texts::programName);
    QApplication::setApplicationVersion(QStringLiteral(WIRLEP_DISPLAY_VERSION));
    QApplication::setWindowIcon(ProgramIcon::icon());

    SystemRandom random;
    // The word lists lie beside the program (found through a symlink too).
    Game game(QCoreApplication::applicationDirPath(), random);
    Windows windows(game);
    windows.showMainWindow();
    return QApplication::exec();
}
