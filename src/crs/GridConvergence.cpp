#include "crs/GridConvergence.h"

#include "crs/ProjectedCrs.h"
#include "crs/UtmZone.h"

#include <proj.h>

#include <cmath>
#include <cstdio>

namespace tellurim {

namespace {

std::string degreesText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

double gridDeclination(double declination, double convergence)
{
    double angle = std::fmod(declination - convergence, 360.0);
    if (angle > 180.0) {
        angle -= 360.0;
    } else if (angle <= -180.0) {
        angle += 360.0;
    }
    return angle;
}

GridConvergence::GridConvergence() : m_context(proj_context_create())
{
    // Problems are reported in the program's own words; PROJ's log would
    // print its own on standard error.
    proj_log_level(m_context, PJ_LOG_NONE);
}

GridConvergence::~GridConvergence()
{
    m_systems.clear();
    proj_context_destroy(m_context);
}

const ProjectedCrs* GridConvergence::resolve(const std::string& definition, std::string& problem)
{
    const std::string key = trimmed(definition);
    if (key.empty()) {
        problem = "no reference system given";
        return nullptr;
    }
    if (const auto found = m_systems.find(key); found != m_systems.end()) {
        return found->second.get();
    }
    if (const auto refused = m_refused.find(key); refused != m_refused.end()) {
        problem = refused->second;
        return nullptr;
    }
    ProjectedCrs::Resolved resolved = ProjectedCrs::resolve(m_context, key);
    if (!resolved.crs) {
        problem = resolved.problem;
        m_refused.emplace(key, resolved.problem);
        return nullptr;
    }
    return m_systems.emplace(key, std::move(resolved.crs)).first->second.get();
}

std::string GridConvergence::areaWarning(const ProjectedCrs& crs, double latitude, double longitude) const
{
    const auto& area = crs.areaOfUse();
    if (!area || area->contains(latitude, longitude)) {
        return {};
    }
    return "the point lies outside the area of use of " + crs.definition() + " (" + crs.name() + ": " +
           degreesText(area->west) + " to " + degreesText(area->east) + " deg east, " + degreesText(area->south) +
           " to " + degreesText(area->north) + " deg north)";
}

CrsOutcome<GridNorth> GridConvergence::at(const std::string& definition, double latitude, double longitude)
{
    CrsOutcome<GridNorth> out;
    const std::string system =
        trimmed(definition).empty() ? automaticGridSystem(latitude, longitude) : trimmed(definition);
    const ProjectedCrs* crs = resolve(system, out.problem);
    if (crs == nullptr) {
        return out;
    }
    const auto grid = crs->forward(latitude, longitude);
    const auto factors = crs->convergenceAndScale(latitude, longitude);
    if (!grid || !factors) {
        out.problem = "the point cannot be projected in " + system + " (" + crs->name() + ")";
        return out;
    }
    out.warning = areaWarning(*crs, latitude, longitude);
    out.value = GridNorth{system,          crs->name(),      crs->unit(),     grid->first,
                          grid->second,    factors->first,   factors->second};
    return out;
}

CrsOutcome<GridInverse> GridConvergence::fromGrid(const std::string& definition, double easting, double northing)
{
    CrsOutcome<GridInverse> out;
    const ProjectedCrs* crs = resolve(definition, out.problem);
    if (crs == nullptr) {
        return out;
    }
    const auto point = std::isfinite(easting) && std::isfinite(northing) ? crs->inverse(easting, northing)
                                                                         : std::nullopt;
    if (!point) {
        out.problem = "easting " + degreesText(easting) + " and northing " + degreesText(northing) +
                      " do not correspond to any latitude and longitude in " + crs->definition() + " (" +
                      crs->name() + ")";
        return out;
    }
    out.warning = areaWarning(*crs, point->first, point->second);
    out.value = GridInverse{point->first, point->second};
    return out;
}

std::string GridConvergence::problemOf(const std::string& definition)
{
    std::string problem;
    resolve(definition, problem);
    return problem;
}

std::string GridConvergence::nameOf(const std::string& definition)
{
    std::string problem;
    const ProjectedCrs* crs = resolve(definition, problem);
    return crs != nullptr ? crs->name() : std::string();
}

}  // namespace tellurim
