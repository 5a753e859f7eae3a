#include "ProgramIcon.h"

#include <array>

#ifdef Q_OS_WIN
#include <QImage>
#include <QPixmap>

#include <qt_windows.h>
#endif

namespace ProgramIcon {

namespace {

// The sizes a title bar and a task bar use; the larger ones are for the
// desktop's menus and come from the icon theme or the program file.
constexpr std::array sizes {16, 32, 48};

} // namespace

#ifdef Q_OS_WIN

QIcon icon()
{
    // The program file's own icon group, the one Explorer shows: Windows
    // picks from its images the one drawn for each size.
    QIcon icon;
    const HINSTANCE program = GetModuleHandleW(nullptr);
    for (const int size : sizes) {
        const auto handle
            = static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(WIRLEP_ICON_GROUP_ID),
                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        if (!handle)
            continue;
        icon.addPixmap(QPixmap::fromImage(QImage::fromHICON(handle)));
        DestroyIcon(handle);
    }
    return icon;
}

#else

QIcon icon()
{
    QIcon icon;
    for (const int size : sizes)
        icon.addFile(QStringLiteral(":/icons/wirlep-%1.png").arg(size), QSize(size, size));
    return icon;
}

#endif

} // namespace ProgramIcon
