#include "crs/ProjectedCrs.h"

#include <proj.h>

#include <cmath>
#include <numbers>
#include <string_view>
#include <sys/stat.h>

namespace tellurim {

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

struct PjDeleter {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using PjPtr = std::unique_ptr<PJ, PjDeleter>;

bool isGeographic(PJ_TYPE type)
{
    return type == PJ_TYPE_GEOGRAPHIC_CRS || type == PJ_TYPE_GEOGRAPHIC_2D_CRS ||
           type == PJ_TYPE_GEOGRAPHIC_3D_CRS || type == PJ_TYPE_GEODETIC_CRS || type == PJ_TYPE_GEOCENTRIC_CRS;
}

// The projected system itself; a system bound to WGS 84 by shift parameters
// (+towgs84 in a PROJ string) is looked at through its base.
std::string kindProblem(PJ_CONTEXT* context, PJ* crs, const std::string& definition)
{
    PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_BOUND_CRS) {
        const PjPtr base(proj_get_source_crs(context, crs));
        type = base ? proj_get_type(base.get()) : PJ_TYPE_UNKNOWN;
    }
    if (type == PJ_TYPE_PROJECTED_CRS) {
        return {};
    }
    if (isGeographic(type)) {
        const char* name = proj_get_name(crs);
        return definition + " (" + (name != nullptr ? name : "unnamed") +
               ") is a geographic system of latitude and longitude, not a projected grid";
    }
    if (type == PJ_TYPE_CONVERSION || type == PJ_TYPE_OTHER_COORDINATE_OPERATION) {
        return definition + " is a projection, not a reference system (a PROJ string needs +type=crs)";
    }
    return definition + " is not a projected reference system";
}

std::string unitOf(PJ_CONTEXT* context, PJ* crs)
{
    const PjPtr system(proj_crs_get_coordinate_system(context, crs));
    const char* unit = nullptr;
    if (system && proj_cs_get_axis_info(context, system.get(), 0, nullptr, nullptr, nullptr, nullptr, &unit,
                                        nullptr, nullptr) &&
        unit != nullptr) {
        return unit;
    }
    return "metre";
}

// The projection alone (radians in, the system's unit out), so that the
// convergence and scale cost a microsecond: asked of the whole system, PROJ
// builds a transformation for every point.
PJ* bareProjection(PJ_CONTEXT* context, PJ* crs)
{
    const char* text = proj_as_proj_string(context, crs, PJ_PROJ_5, nullptr);
    if (text == nullptr) {
        return nullptr;
    }
    std::string definition(text);
    const std::string crsMark = " +type=crs";
    if (const size_t at = definition.find(crsMark); at != std::string::npos) {
        definition.erase(at, crsMark.size());
    }
    return proj_create(context, definition.c_str());
}

// A definition may name files PROJ opens (grids, init files). PROJ would
// wait for ever on a pipe or a terminal named there, so every path in it
// that exists must be a regular file; the first that is not is returned.
std::string nonRegularPathIn(const std::string& definition)
{
    constexpr std::string_view kDelimiters = " \t\r\n\"',=[]()@";
    size_t at = 0;
    while (at < definition.size()) {
        const size_t start = definition.find_first_not_of(kDelimiters, at);
        if (start == std::string::npos) {
            break;
        }
        const size_t end = std::min(definition.find_first_of(kDelimiters, start), definition.size());
        const std::string word = definition.substr(start, end - start);
        struct stat info {};
        if (word.find('/') != std::string::npos && ::stat(word.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            return word;
        }
        at = end;
    }
    return {};
}

bool finite(const PJ_COORD& c)
{
    return std::isfinite(c.xy.x) && std::isfinite(c.xy.y) && c.xy.x != HUGE_VAL && c.xy.y != HUGE_VAL;
}

}  // namespace

bool AreaOfUse::contains(double latitude, double longitude) const
{
    if (latitude < south || latitude > north) {
        return false;
    }
    if (west <= east) {
        return longitude >= west && longitude <= east;
    }
    return longitude >= west || longitude <= east;  // across the antimeridian
}

ProjectedCrs::Resolved ProjectedCrs::resolve(PJ_CONTEXT* context, const std::string& definition)
{
    Resolved out;
    if (const std::string path = nonRegularPathIn(definition); !path.empty()) {
        out.problem = definition + " names " + path + ", which is not a regular file";
        return out;
    }
    PjPtr crs(proj_create(context, definition.c_str()));
    if (!crs) {
        out.problem = definition + " is not a reference system PROJ knows";
        return out;
    }
    out.problem = kindProblem(context, crs.get(), definition);
    if (!out.problem.empty()) {
        return out;
    }
    PjPtr wgs84(proj_create(context, "EPSG:4326"));
    PjPtr raw(wgs84 ? proj_create_crs_to_crs_from_pj(context, wgs84.get(), crs.get(), nullptr, nullptr) : nullptr);
    PjPtr fromWgs84(raw ? proj_normalize_for_visualization(context, raw.get()) : nullptr);
    const PjPtr geodetic(proj_crs_get_geodetic_crs(context, crs.get()));
    PjPtr rawDatum(geodetic ? proj_create_crs_to_crs_from_pj(context, wgs84.get(), geodetic.get(), nullptr, nullptr)
                            : nullptr);
    PjPtr toGeodetic(rawDatum ? proj_normalize_for_visualization(context, rawDatum.get()) : nullptr);
    if (!fromWgs84 || !toGeodetic) {
        out.problem = "PROJ has no transformation from WGS 84 to " + definition;
        return out;
    }
    std::unique_ptr<ProjectedCrs> result(new ProjectedCrs);
    result->m_context = context;
    result->m_definition = definition;
    const char* name = proj_get_name(crs.get());
    result->m_name = name != nullptr ? name : definition;
    result->m_unit = unitOf(context, crs.get());
    AreaOfUse area;
    if (proj_get_area_of_use(context, crs.get(), &area.west, &area.south, &area.east, &area.north, nullptr) &&
        area.west > -1000.0) {
        result->m_area = area;
    }
    result->m_projection = bareProjection(context, crs.get());
    result->m_crs = crs.release();
    result->m_fromWgs84 = fromWgs84.release();
    result->m_toGeodetic = toGeodetic.release();
    out.crs = std::move(result);
    return out;
}

ProjectedCrs::~ProjectedCrs()
{
    for (PJ* pj : {m_projection, m_toGeodetic, m_fromWgs84, m_crs}) {
        proj_destroy(pj);
    }
}

std::optional<std::pair<double, double>> ProjectedCrs::forward(double latitude, double longitude) const
{
    const PJ_COORD grid = proj_trans(m_fromWgs84, PJ_FWD, proj_coord(longitude, latitude, 0.0, 0.0));
    if (!finite(grid)) {
        return std::nullopt;
    }
    return std::pair{grid.xy.x, grid.xy.y};
}

std::optional<std::pair<double, double>> ProjectedCrs::inverse(double easting, double northing) const
{
    const PJ_COORD point = proj_trans(m_fromWgs84, PJ_INV, proj_coord(easting, northing, 0.0, 0.0));
    if (!finite(point) || std::abs(point.lp.phi) > 90.0) {
        return std::nullopt;
    }
    // Far outside its zone a projection may "invert" to a place that does
    // not project back: the position must come back to within a centimetre
    // (the system's unit is a metre or a foot).
    const auto back = forward(point.lp.phi, point.lp.lam);
    if (!back || std::hypot(back->first - easting, back->second - northing) > 0.01) {
        return std::nullopt;
    }
    double longitude = point.lp.lam;
    if (longitude > 180.0) {
        longitude -= 360.0;
    } else if (longitude < -180.0) {
        longitude += 360.0;
    }
    return std::pair{point.lp.phi, longitude};
}

std::optional<std::pair<double, double>> ProjectedCrs::convergenceAndScale(double latitude, double longitude) const
{
    // The factors belong to the system's own datum (OSGB36 for the British
    // grid), a few seconds of arc away from WGS 84.
    const PJ_COORD own = proj_trans(m_toGeodetic, PJ_FWD, proj_coord(longitude, latitude, 0.0, 0.0));
    if (!finite(own)) {
        return std::nullopt;
    }
    const PJ_COORD lp = proj_coord(own.lp.lam * kRadians, own.lp.phi * kRadians, 0.0, 0.0);
    PJ* projection = m_projection != nullptr ? m_projection : m_crs;
    proj_errno_reset(projection);
    const PJ_FACTORS factors = proj_factors(projection, lp);
    if (proj_errno(projection) != 0 ||
        !std::isfinite(factors.meridian_convergence) || !std::isfinite(factors.parallel_scale)) {
        return std::nullopt;
    }
    // PROJ's convergence already has this program's sign (positive east of
    // the central meridian in the northern hemisphere, where grid north lies
    // east of true north); the tests hold it to published values, so a
    // library that turned it round would fail them.
    // (Adding zero turns a convergence of -0 on a central meridian into 0.)
    return std::pair{factors.meridian_convergence / kRadians + 0.0, factors.parallel_scale};
}

}  // namespace tellurim
