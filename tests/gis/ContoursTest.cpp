// Isolines and compass zones traced over lattices of the model: lines lie on
// their level, the declination's +-180 seam draws nothing, the agonic line
// is there, and the zones hold the points they should.

#include "gis/Contours.h"
#include "gis/LatticeEvaluator.h"
#include "support/EngineSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tellurim::test {
namespace {

// -180..180 difference of two angles in degrees.
double turn(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

// Where a vertex sits on the lattice edge it was interpolated on: the two
// nodes and the fraction of the way from the first. Nothing when it is not
// on an edge.
struct EdgePlace {
    float from = 0.0f;
    float to = 0.0f;
    double fraction = 0.0;
};

std::optional<EdgePlace> edgeOf(const Lattice& lattice, const GeoPoint& point)
{
    const LatticeGeometry& g = lattice.geometry;
    const double row = (g.north() - point.latitude) / g.latStep;
    const double column = (point.longitude - g.west) / g.lonStep;
    const auto onNode = [](double x) { return std::fabs(x - std::round(x)) < 1e-6; };
    const auto inside = [](double x, std::size_t n) { return x >= -1e-6 && x <= static_cast<double>(n - 1) + 1e-6; };
    if (!inside(row, g.height) || !inside(column, g.width)) {
        return std::nullopt;
    }
    if (onNode(row)) {
        const auto r = static_cast<std::size_t>(std::round(row));
        const auto c = std::min(static_cast<std::size_t>(std::floor(column)), g.width - 2);
        return EdgePlace{lattice.at(r, c), lattice.at(r, c + 1), column - static_cast<double>(c)};
    }
    if (onNode(column)) {
        const auto c = static_cast<std::size_t>(std::round(column));
        const auto r = std::min(static_cast<std::size_t>(std::floor(row)), g.height - 2);
        return EdgePlace{lattice.at(r, c), lattice.at(r + 1, c), row - static_cast<double>(r)};
    }
    return std::nullopt;
}

// Every vertex of every line lies on a lattice edge between two nodes with
// values, and the level is what linear interpolation along that edge gives
// there. For an angle, the edge must not cross the +-180 jump: the level is
// reached along the shorter way round.
void expectVerticesOnTheirLevels(const Lattice& lattice, const std::vector<Isoline>& lines, bool angle,
                                 int& offLevel)
{
    offLevel = 0;
    for (const Isoline& line : lines) {
        for (const GeoPoint& vertex : line.vertices) {
            const auto edge = edgeOf(lattice, vertex);
            ASSERT_TRUE(edge) << line.level << " at " << vertex.latitude << " " << vertex.longitude;
            ASSERT_FALSE(std::isnan(edge->from) || std::isnan(edge->to)) << vertex.latitude << " " << vertex.longitude;
            const auto from = static_cast<double>(edge->from);
            const auto to = static_cast<double>(edge->to);
            const double a = angle ? turn(from, line.level) : from - line.level;
            const double b = angle ? turn(to, line.level) : to - line.level;
            const double along = angle ? a + edge->fraction * turn(to, from) : a + edge->fraction * (b - a);
            if (std::fabs(along) > 1e-3 * std::max(1.0, std::fabs(line.level))) {
                ++offLevel;
            }
        }
    }
}

struct PoleWindow : ::testing::Test {
    ShippedEngine shipped;
    // 60N to the pole, all round: the north dip pole and the whole seam.
    LatticeGeometry geometry = latticeOf(GridSettings{0, 60.0f, 90.0f, 0.5f, -180.0f, 180.0f, 1.0f});
    Lattice declination = LatticeEvaluator(shipped.engine.model(), {0.0f, 2026.0f}, 2).evaluate(geometry, FieldElement::D);
};

TEST_F(PoleWindow, DeclinationLinesLieOnTheirLevelsWithTheAgonicLineAndNoSeamLine)
{
    const auto lines = traceIsolines(declination, {2.0, 0.0}, true);
    ASSERT_TRUE(lines) << lines.problem;
    int offLevel = 0;
    expectVerticesOnTheirLevels(declination, *lines.value, true, offLevel);
    EXPECT_EQ(offLevel, 0);
    std::size_t agonicVertices = 0;
    bool halfTurn = false;
    for (const Isoline& line : *lines.value) {
        agonicVertices += line.level == 0.0 ? line.vertices.size() : 0;
        halfTurn = halfTurn || line.level == 180.0;
        EXPECT_NE(line.level, -180.0);
        EXPECT_EQ(std::remainder(line.level, 2.0), 0.0) << line.level;
    }
    EXPECT_GT(agonicVertices, 30U);
    EXPECT_TRUE(halfTurn);

    // The check above has teeth: traced as a plain number, the seam draws
    // lines of every level along the jump.
    const auto naive = traceIsolines(declination, {2.0, 0.0}, false);
    ASSERT_TRUE(naive);
    expectVerticesOnTheirLevels(declination, *naive.value, true, offLevel);
    EXPECT_GT(offLevel, 100);
}

TEST_F(PoleWindow, AgonicLineIsTracedWhateverTheBase)
{
    const auto lines = traceIsolines(declination, {5.0, 1.0}, true);
    ASSERT_TRUE(lines) << lines.problem;
    bool agonic = false;
    for (const Isoline& line : *lines.value) {
        agonic = agonic || line.level == 0.0;
        EXPECT_TRUE(line.level == 0.0 || std::remainder(line.level - 1.0, 5.0) == 0.0) << line.level;
    }
    EXPECT_TRUE(agonic);
}

// Ray casting on a ring of lat/lon vertices.
bool inRing(const std::vector<GeoPoint>& ring, GeoPoint p)
{
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[j];
        if ((a.latitude > p.latitude) != (b.latitude > p.latitude) &&
            p.longitude < (b.longitude - a.longitude) * (p.latitude - a.latitude) / (b.latitude - a.latitude) + a.longitude) {
            in = !in;
        }
    }
    return in;
}

CompassZone zoneAt(const std::vector<ZonePolygon>& zones, GeoPoint p)
{
    for (const ZonePolygon& zone : zones) {
        bool inHole = false;
        for (std::size_t i = 1; i < zone.rings.size(); ++i) {
            inHole = inHole || inRing(zone.rings[i], p);
        }
        if (inRing(zone.rings.front(), p) && !inHole) {
            return zone.zone;
        }
    }
    return CompassZone::None;
}

TEST_F(PoleWindow, CompassZonesHoldTheNodesOfTheirIntensity)
{
    const Lattice h = LatticeEvaluator(shipped.engine.model(), {0.0f, 2026.0f}, 2).evaluate(geometry, FieldElement::H);
    const auto polygons = compassZonePolygons(h);
    ASSERT_TRUE(polygons) << polygons.problem;
    for (const ZonePolygon& zone : *polygons.value) {
        for (const auto& ring : zone.rings) {
            for (const GeoPoint& p : ring) {
                EXPECT_TRUE(p.latitude >= 60.0 && p.latitude <= 90.0 && std::fabs(p.longitude) <= 180.0)
                    << p.latitude << " " << p.longitude;
            }
        }
    }
    int blackout = 0;
    int caution = 0;
    // Nodes one step inside the lattice, off the borders the polygons close along.
    for (std::size_t row = 1; row + 1 < geometry.height; row += 3) {
        for (std::size_t column = 1; column + 1 < geometry.width; column += 7) {
            const float value = h.at(row, column);
            const GeoPoint node{geometry.latitude(row), geometry.longitude(column)};
            EXPECT_EQ(zoneAt(*polygons.value, node), compassZone(value)) << node.latitude << " " << node.longitude << " H " << value;
            blackout += compassZone(value) == CompassZone::Blackout;
            caution += compassZone(value) == CompassZone::Caution;
        }
    }
    EXPECT_GT(blackout, 0);
    EXPECT_GT(caution, 0);
}

TEST(Isolines, HolesStopTheLinesAndBadIntervalsAreRefused)
{
    // A tilted plane with a hole of missing values in the middle.
    Lattice plane{latticeOf(GridSettings{0, 0.0f, 10.0f, 1.0f, 0.0f, 10.0f, 1.0f}), {}};
    for (std::size_t row = 0; row < 11; ++row) {
        for (std::size_t column = 0; column < 11; ++column) {
            const bool hole = row >= 4 && row <= 6 && column >= 4 && column <= 6;
            plane.values.push_back(hole ? std::numeric_limits<float>::quiet_NaN() : float(3 * row + column));
        }
    }
    const auto lines = traceIsolines(plane, {2.5, 0.0}, false);
    ASSERT_TRUE(lines) << lines.problem;
    EXPECT_FALSE(lines.value->empty());
    int offLevel = 0;
    expectVerticesOnTheirLevels(plane, *lines.value, false, offLevel);
    EXPECT_EQ(offLevel, 0);

    EXPECT_FALSE(traceIsolines(plane, {0.0, 0.0}, false));
    EXPECT_FALSE(traceIsolines(plane, {-2.0, 0.0}, true));
    const auto tooMany = traceIsolines(plane, {1e-6, 0.0}, false);
    ASSERT_FALSE(tooMany);
    EXPECT_NE(tooMany.problem.find("choose a larger interval"), std::string::npos) << tooMany.problem;
}

TEST(Lattice, NodesAreExactDecimalsAndMatchThePointCalculation)
{
    const LatticeGeometry world = latticeOf(GridSettings{0, -90.0f, 90.0f, 0.1f, -180.0f, 180.0f, 0.25f});
    EXPECT_EQ(world.height, 1801U);
    EXPECT_EQ(world.width, 1441U);
    EXPECT_EQ(world.north(), 90.0);
    EXPECT_EQ(world.latitude(1800), -90.0);
    EXPECT_EQ(world.latitude(900), -90.0 + 900 * 0.1);
    EXPECT_EQ(world.east(), 180.0);
    EXPECT_EQ(latticeOf(GridSettings{0, 10.0f, 9.0f, 1.0f, 0.0f, 1.0f, 1.0f}).height, 0U);
    EXPECT_EQ(latticeOf(GridSettings{0, 0.0f, 1.0f, 0.3f, 0.0f, 1.0f, 1.0f}).height, 4U);

    ShippedEngine shipped;
    const LatticeGeometry small = latticeOf(GridSettings{0, -80.0f, 80.0f, 40.0f, -170.5f, 179.5f, 35.0f});
    const std::vector<FieldElement> elements{FieldElement::D, FieldElement::Z, FieldElement::DeltaF, FieldElement::SigmaD};
    const auto lattices = LatticeEvaluator(shipped.engine.model(), {1200.0f, 2027.25f}, 3).evaluate(small, elements);
    const PublishedAccuracy* accuracy = publishedAccuracy(shipped.engine.modelName());
    ASSERT_NE(accuracy, nullptr);
    for (std::size_t row = 0; row < small.height; ++row) {
        for (std::size_t column = 0; column < small.width; ++column) {
            const FieldResult point = shipped.engine.computePoint(
                1200.0f, float(small.latitude(row)), float(small.longitude(column)), 2027.25f);
            for (std::size_t e = 0; e < elements.size(); ++e) {
                const float expected = elementValue(elements[e], point, accuracy);
                EXPECT_EQ(std::bit_cast<uint32_t>(lattices[e].at(row, column)), std::bit_cast<uint32_t>(expected))
                    << elementInfo(elements[e]).code << " " << row << " " << column;
            }
        }
    }
}

}  // namespace
}  // namespace tellurim::test
