#include "workspace/GridNorthLine.h"

#include "crs/UtmZone.h"
#include "record/NumberText.h"

#include <algorithm>
#include <cctype>

namespace tellurim {

namespace {

constexpr int kGridDecimals = 3;   // easting and northing to the millimetre
constexpr int kAngleDecimals = 4;  // degrees: about a third of a second of arc

std::string fixedText(double value, int decimals)
{
    std::string text;
    appendFixed(text, value, decimals);
    return text;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// "27700" and "epsg:27700" are taken as "EPSG:27700"; anything else as typed.
std::string definitionOf(const std::string& typed)
{
    std::string text = trimmed(typed);
    if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return "EPSG:" + text;
    }
    if (text.size() > 5 && std::equal(text.begin(), text.begin() + 5, "epsg:", [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
        return "EPSG:" + text.substr(5);
    }
    return text;
}

std::string sentence(std::string text)
{
    if (!text.empty()) {
        text.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
        text.push_back('.');
    }
    return text;
}

}  // namespace

void GridNorthLine::restore(const GridNorthSettings& settings)
{
    m_settings = settings;
    if (m_settings.used.size() > GridNorthSettings::kMaxUsed) {
        m_settings.used.resize(GridNorthSettings::kMaxUsed);
    }
    // A stored system this PROJ no longer knows falls back to the automatic one.
    if (!m_settings.system.empty() && !m_grids.problemOf(m_settings.system).empty()) {
        m_settings.system.clear();
    }
    auto& used = m_settings.used;
    if (!m_settings.system.empty() && std::find(used.begin(), used.end(), m_settings.system) == used.end()) {
        used.insert(used.begin(), m_settings.system);
        used.resize(std::min(used.size(), GridNorthSettings::kMaxUsed));
    }
    listSystems();
}

void GridNorthLine::listSystems()
{
    m_texts.systems.assign(1, std::string(kAutomaticGridSystemText));
    m_texts.systems.insert(m_texts.systems.end(), m_settings.used.begin(), m_settings.used.end());
    const auto found = std::find(m_settings.used.begin(), m_settings.used.end(), m_settings.system);
    m_texts.selected = m_settings.system.empty() || found == m_settings.used.end()
                           ? 0
                           : static_cast<int>(found - m_settings.used.begin()) + 1;
}

void GridNorthLine::update(double latitude, double longitude, const FieldResult* results)
{
    if (m_pin && (static_cast<float>(m_pin->latitude) != static_cast<float>(latitude) ||
                  static_cast<float>(m_pin->longitude) != static_cast<float>(longitude))) {
        m_pin.reset();
    }
    if (m_pin) {
        latitude = m_pin->latitude;
        longitude = m_pin->longitude;
    }
    const CrsOutcome<GridNorth> grid = m_grids.at(m_settings.system, latitude, longitude);
    GridNorthTexts& t = m_texts;
    if (!grid.value) {
        t.systemName.clear();
        t.easting.clear();
        t.northing.clear();
        t.convergence.clear();
        t.gridDeclination.clear();
        t.note = sentence(grid.problem);
        m_systemShown = m_settings.system;
        return;
    }
    const GridNorth& g = *grid.value;
    m_systemShown = g.system;
    t.systemName = g.system + " " + g.systemName + (g.unit == "metre" ? "" : ", in " + g.unit);
    t.easting = fixedText(m_pin ? m_pin->easting : g.easting, kGridDecimals);
    t.northing = fixedText(m_pin ? m_pin->northing : g.northing, kGridDecimals);
    t.convergence = fixedText(g.convergence, kAngleDecimals);
    t.gridDeclination =
        results != nullptr
            ? fixedText(gridDeclination(static_cast<double>(results->DEC), g.convergence), kAngleDecimals)
            : std::string();
    t.note = sentence(grid.warning);
}

std::string GridNorthLine::choose(const std::string& text)
{
    const std::string definition = text == kAutomaticGridSystemText ? std::string() : definitionOf(text);
    if (!definition.empty()) {
        if (std::string problem = m_grids.problemOf(definition); !problem.empty()) {
            return sentence(problem);
        }
        auto& used = m_settings.used;
        used.erase(std::remove(used.begin(), used.end(), definition), used.end());
        used.insert(used.begin(), definition);
        if (used.size() > GridNorthSettings::kMaxUsed) {
            used.resize(GridNorthSettings::kMaxUsed);
        }
    }
    m_settings.system = definition;
    m_pin.reset();
    listSystems();
    return {};
}

CrsOutcome<GridInverse> GridNorthLine::positionOf(const std::string& easting, const std::string& northing)
{
    CrsOutcome<GridInverse> out;
    const Parsed<double> e = parseDouble(easting);
    const Parsed<double> n = parseDouble(northing);
    if (e.status != ParseStatus::Ok || n.status != ParseStatus::Ok) {
        out.problem = std::string(e.status != ParseStatus::Ok ? "The easting" : "The northing") +
                      " must be a number in the grid's unit.";
        return out;
    }
    out = m_grids.fromGrid(m_systemShown, e.value, n.value);
    out.problem = sentence(out.problem);
    out.warning = sentence(out.warning);
    if (out.value) {
        m_pin = Pin{out.value->latitude, out.value->longitude, e.value, n.value};
    }
    return out;
}

}  // namespace tellurim
