#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

/// A fresh folder under the system's temporary directory, removed with
/// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    /// The path of an entry of the folder, as a string.
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    /// Writes the bytes to an entry of the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

/// Sets (or, with nothing, unsets) an environment variable for the scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

/// Makes a folder the current directory for the scope.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::filesystem::path& folder);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

private:
    std::filesystem::path m_previous;
};

/// A temporary folder holding the settings: XDG_CONFIG_HOME points into it
/// for the scope, so no test touches the user's own settings.
class TempSettings {
public:
    TempSettings();
    const std::filesystem::path& root() const { return m_dir.path(); }
    /// Where the program keeps its settings file under this root.
    std::filesystem::path file() const;

private:
    TempDir m_dir;
    ScopedEnv m_env;
};

/// The whole file as bytes; empty when it cannot be read.
std::string readWholeFile(const std::filesystem::path& file);
void writeWholeFile(const std::filesystem::path& file, const std::string& bytes);
/// Names of the entries of a folder, sorted.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

}  // namespace tellurim
