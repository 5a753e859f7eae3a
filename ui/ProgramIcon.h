#pragma once

#include <QIcon>

namespace ProgramIcon {

/// The program's icon, in the sizes drawn for it; every window shows it.
QIcon icon();

} // namespace ProgramIcon
