#include "workspace/ModelCatalogue.h"

#include "engine/MagneticModel.h"
#include "engine/ModelLocator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace tellurim {
namespace {

namespace fs = std::filesystem;

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool looksLikeModelFile(const fs::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".cof" || extension == ".shc";
}

std::vector<fs::path> shippedFiles()
{
    std::vector<fs::path> files;
    for (const fs::path& folder : shippedModelDirectories()) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            if (it->is_regular_file(error) && looksLikeModelFile(it->path()))
                files.push_back(fs::weakly_canonical(it->path(), error));
    }
    return files;
}

}  // namespace

std::string modelSpanLabel(const MagneticModel& model)
{
    // "IGRF 14" reads as the model is known, "IGRF-14".
    std::string name = trimmed(model.name());
    for (size_t i = 1; i + 1 < name.size(); ++i)
        if (name[i] == ' ' && std::isalpha(static_cast<unsigned char>(name[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(name[i + 1])))
            name[i] = '-';
    char span[64];
    std::snprintf(span, sizeof span, ", %.1f to %.1f", static_cast<double>(model.validFrom()),
                  static_cast<double>(model.validUntil()));
    return name + span;
}

const ModelCatalogue::Entry& ModelCatalogue::describe(const std::string& path)
{
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    Entry& entry = m_known[path];
    const int64_t time = exists ? static_cast<int64_t>(info.st_mtime) : 0;
    const int64_t size = exists ? static_cast<int64_t>(info.st_size) : -1;
    if (entry.size == size && entry.time == time)
        return entry;
    entry = Entry{size, time, std::nullopt, 0.0f, 0.0f};
    if (!exists)
        return entry;
    const ModelLoad load = loadModel(path);
    if (const auto* model = std::get_if<std::shared_ptr<const MagneticModel>>(&load)) {
        entry.label = modelSpanLabel(**model);
        entry.start = (*model)->validFrom();
        entry.end = (*model)->validUntil();
    }
    return entry;
}

std::vector<ModelChoice> ModelCatalogue::choices(const std::vector<std::string>& recent)
{
    std::vector<std::pair<Entry, ModelChoice>> shipped;
    for (const fs::path& file : shippedFiles()) {
        const Entry& entry = describe(file.string());
        if (entry.label)
            shipped.push_back({entry, ModelChoice{*entry.label, file.string(), true}});
    }
    // The newest span first: the models for today lead the list.
    std::stable_sort(shipped.begin(), shipped.end(), [](const auto& a, const auto& b) {
        if (a.first.end != b.first.end)
            return a.first.end > b.first.end;
        if (a.first.start != b.first.start)
            return a.first.start > b.first.start;
        return a.second.label < b.second.label;
    });
    std::vector<ModelChoice> result;
    for (auto& item : shipped)
        result.push_back(std::move(item.second));
    for (const std::string& path : recent) {
        const bool listed = std::any_of(result.begin(), result.end(),
                                        [&path](const ModelChoice& c) { return c.path == path; });
        if (listed)
            continue;
        if (const Entry& entry = describe(path); entry.label)
            result.push_back(ModelChoice{*entry.label + " (" + path + ")", path, false});
    }
    return result;
}

bool ModelCatalogue::isShipped(const std::string& path)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    const std::vector<fs::path> files = shippedFiles();
    return std::find(files.begin(), files.end(), canonical) != files.end();
}

std::vector<std::string> ModelCatalogue::remember(std::vector<std::string> recent, const std::string& path)
{
    if (path.empty() || isShipped(path))
        return recent;
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > kMostRecent)
        recent.resize(kMostRecent);
    return recent;
}

}  // namespace tellurim
