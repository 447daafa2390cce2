#include "workspace/ProfileFile.h"

#include <utility>

namespace tellurim {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view name)
{
    std::string result(name);
    for (char& c : result) {
        c = lower(c);
    }
    return result;
}

}  // namespace

ProfileFile ProfileFile::parse(std::string_view text)
{
    ProfileFile profile;
    Section* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            line.remove_prefix(1);
            const std::string_view name = trimmed(line.substr(0, line.find(']')));
            current = profile.findSection(name);
            if (current == nullptr) {
                current = &profile.addSection(name);
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        if (findEntry(*current, key) == nullptr) {
            addEntry(*current, key, std::string(trimmed(line.substr(equals + 1))));
        }
    }
    return profile;
}

ProfileFile::Section* ProfileFile::findSection(std::string_view name)
{
    const auto found = m_sectionIndex.find(lowered(name));
    return found == m_sectionIndex.end() ? nullptr : &m_sections[found->second];
}

const ProfileFile::Section* ProfileFile::findSection(std::string_view name) const
{
    const auto found = m_sectionIndex.find(lowered(name));
    return found == m_sectionIndex.end() ? nullptr : &m_sections[found->second];
}

ProfileFile::Section& ProfileFile::addSection(std::string_view name)
{
    m_sectionIndex.emplace(lowered(name), m_sections.size());
    m_sections.push_back(Section{std::string(name), {}, {}});
    return m_sections.back();
}

const ProfileFile::Entry* ProfileFile::findEntry(const Section& section, std::string_view key)
{
    const auto found = section.keyIndex.find(lowered(key));
    return found == section.keyIndex.end() ? nullptr : &section.entries[found->second];
}

void ProfileFile::addEntry(Section& section, std::string_view key, std::string value)
{
    section.keyIndex.emplace(lowered(key), section.entries.size());
    section.entries.push_back(Entry{std::string(key), std::move(value)});
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    const Entry* entry = found == nullptr ? nullptr : findEntry(*found, key);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return entry->value;
}

bool ProfileFile::contains(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    return found != nullptr && findEntry(*found, key) != nullptr;
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value)
{
    std::string stored(value);
    for (char& c : stored) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    Section* target = findSection(section);
    if (target == nullptr) {
        target = &addSection(section);
    }
    const auto found = target->keyIndex.find(lowered(key));
    if (found != target->keyIndex.end()) {
        target->entries[found->second].value = std::move(stored);
        return;
    }
    addEntry(*target, key, std::move(stored));
}

void ProfileFile::addMissingFrom(const ProfileFile& other)
{
    for (const Section& section : other.m_sections) {
        Section* target = findSection(section.name);
        if (target == nullptr) {
            target = &addSection(section.name);
        }
        for (const Entry& entry : section.entries) {
            if (findEntry(*target, entry.key) == nullptr) {
                addEntry(*target, entry.key, entry.value);
            }
        }
    }
}

std::string ProfileFile::text() const
{
    std::string out;
    for (const Section& section : m_sections) {
        out += '[';
        out += section.name;
        out += "]\n";
        for (const Entry& entry : section.entries) {
            out += entry.key;
            out += '=';
            out += entry.value;
            out += '\n';
        }
    }
    return out;
}

}  // namespace tellurim
