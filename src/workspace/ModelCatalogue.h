#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

class MagneticModel;

/// One entry of the model drop-down.
struct ModelChoice {
    std::string label;  ///< "WMM-2025, 2025.0 to 2030.0"; a file used before adds its path
    std::string path;   ///< absolute
    bool shipped = false;
};

/// The model's name and the span it is valid for, "WMM-2025, 2025.0 to 2030.0".
std::string modelSpanLabel(const MagneticModel& model);

/// The models the user may pick from: the shipped ones (newest span first)
/// and the files used before. A file that does not load as a model is left
/// out. Each file is read once per change of its size or time.
class ModelCatalogue {
public:
    /// At most this many files used before are kept.
    static constexpr std::size_t kMostRecent = 8;

    /// The shipped models, then recent (absolute paths, newest first)
    /// without those already listed.
    std::vector<ModelChoice> choices(const std::vector<std::string>& recent);

    /// Whether path is one of the shipped model files.
    static bool isShipped(const std::string& path);

    /// recent with path put first (once), cut to kMostRecent; a shipped
    /// file, which the list holds anyway, leaves it as it is.
    static std::vector<std::string> remember(std::vector<std::string> recent, const std::string& path);

private:
    struct Entry {
        int64_t size = -1;
        int64_t time = 0;
        std::optional<std::string> label;
        float end = 0.0f;
        float start = 0.0f;
    };
    const Entry& describe(const std::string& path);

    std::map<std::string, Entry> m_known;
};

}  // namespace tellurim
