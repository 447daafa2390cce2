#include "support/TestEnvironment.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace tellurim {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tellurim-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const
{
    writeWholeFile(m_path / name, bytes);
    return file(name);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name))
{
    if (const char* previous = std::getenv(m_name.c_str()))
        m_previous = previous;
    if (value)
        ::setenv(m_name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

ScopedEnv::~ScopedEnv()
{
    if (m_previous)
        ::setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

ScopedCurrentDir::ScopedCurrentDir(const std::filesystem::path& folder)
    : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(folder);
}

ScopedCurrentDir::~ScopedCurrentDir()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
}

TempSettings::TempSettings() : m_env("XDG_CONFIG_HOME", m_dir.path().string()) {}

std::filesystem::path TempSettings::file() const
{
    return m_dir.path() / "Tellurim" / "Tellurim.INI";
}

std::string readWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeWholeFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tellurim
