#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tellurim {

/// A profile text: "[Section]" lines each followed by "key=value" lines.
/// Section and key names match without regard to case; values lose the
/// blanks around them; lines that are neither (blank lines, comments, text
/// before the first section) are ignored. Sections and keys keep the order
/// in which they first appear; of two equal keys the first counts.
class ProfileFile {
public:
    static ProfileFile parse(std::string_view text);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    bool contains(std::string_view section, std::string_view key) const;

    /// Sets a value, adding the section or key at the end when new. A line
    /// break inside a value would split it and turn its tail into a stray
    /// line, so each one is stored as a blank.
    void set(std::string_view section, std::string_view key, std::string_view value);

    /// Adds every key of other that this file lacks, after its own.
    void addMissingFrom(const ProfileFile& other);

    /// The text, lines ending in "\n", no blank lines between sections.
    std::string text() const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    // Names are indexed in lower case, so that a large file does not make
    // every look-up a walk through all of it.
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t> keyIndex;
    };

    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    Section& addSection(std::string_view name);
    static const Entry* findEntry(const Section& section, std::string_view key);
    static void addEntry(Section& section, std::string_view key, std::string value);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_sectionIndex;
};

}  // namespace tellurim
