#pragma once

#include <QIcon>

namespace tellurim {

/// The program's icon (window, task bar, About box), from the resources
/// compiled into the window library.
QIcon applicationIcon();

}  // namespace tellurim
