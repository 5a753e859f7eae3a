#include "ProgramIcon.h"

namespace ProgramIcon {

QIcon icon()
{
    QIcon icon;
    // The sizes a title bar and a task bar use; the larger ones are for the
    // desktop's menus and come from the icon theme.
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/wirlep-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace ProgramIcon
