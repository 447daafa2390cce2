#include "files/UserName.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tellurim {

std::string userNameFrom(const std::string& gecos, const std::string& login)
{
    std::string fullName = gecos.substr(0, gecos.find(','));
    const auto first = fullName.find_first_not_of(' ');
    const auto last = fullName.find_last_not_of(' ');
    if (first == std::string::npos) {
        return login;
    }
    return fullName.substr(first, last - first + 1);
}

std::string currentUserName()
{
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (1u << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (found == nullptr) {
        return {};
    }
    return userNameFrom(found->pw_gecos != nullptr ? found->pw_gecos : "",
                        found->pw_name != nullptr ? found->pw_name : "");
}

}  // namespace tellurim
