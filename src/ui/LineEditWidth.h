#pragma once

#include <string>

class QLineEdit;

namespace tellurim {

/// The width, in pixels, that lets the edit show widest (its '0's standing
/// for any digit) whole in its current font and style.
int lineEditWidthFor(const QLineEdit& edit, const std::string& widest);

}  // namespace tellurim
