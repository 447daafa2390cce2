#pragma once

#include <string>

namespace tellurim {

/// The name of the person running the program, for printed pages: the
/// account's full name (the first comma-separated part of its comment
/// field), else its login name, else empty.
std::string currentUserName();

/// The same choice from an account's comment field and login name.
std::string userNameFrom(const std::string& gecos, const std::string& login);

}  // namespace tellurim
