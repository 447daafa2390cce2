#pragma once

namespace tellurim {

/// Lets assistive technology name the program's drop-down lists by their
/// accessible name ("Latitude hemisphere") and read the entry chosen as
/// their value; on Linux Qt otherwise gives the chosen entry as the name
/// ("South"). Installed once, for every drop-down list class of the
/// tellurim namespace; calling it again does nothing.
void nameDropDownListsByTheirAccessibleName();

}  // namespace tellurim
