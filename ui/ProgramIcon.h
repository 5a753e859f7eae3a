#pragma once

#include <QIcon>

namespace ProgramIcon {

/// The program's icon, in the sizes drawn for it; every window shows it. On
/// Windows it is the program file's own icon group.
QIcon icon();

} // namespace ProgramIcon
