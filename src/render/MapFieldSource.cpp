#include "render/MapFieldSource.h"

#include "engine/EngineMessageSink.h"
#include "engine/ModelEngine.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace tellurim {

namespace {

// A map is drawn again and again: the life-span warning belongs to the
// main window's calculation, not to every lattice.
class SilentSink final : public EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

SilentSink& silentSink()
{
    static SilentSink sink;
    return sink;
}

std::size_t stepsBetween(double from, double to, double step)
{
    return static_cast<std::size_t>(std::ceil((to - from) / step - 1e-9)) + 1;
}

// Rows first..last of the lattice on one engine copy.
void fillRows(ModelEngine engine, FieldLattice& lattice, MapElement element, const PublishedAccuracy* accuracy,
              float elevation, float date, std::size_t first, std::size_t last)
{
    std::vector<float> longitudes(lattice.columns);
    for (std::size_t c = 0; c < lattice.columns; ++c) {
        longitudes[c] = static_cast<float>(lattice.longitudeOf(c));
    }
    std::vector<FieldResult> results(lattice.columns);
    for (std::size_t r = first; r < last; ++r) {
        const auto latitude = static_cast<float>(std::clamp(lattice.latitudeOf(r), -90.0, 90.0));
        engine.computeRow(elevation, latitude, longitudes, date, results);
        float* values = lattice.values.data() + r * lattice.columns;
        float* horizontal = lattice.horizontal.data() + r * lattice.columns;
        for (std::size_t c = 0; c < lattice.columns; ++c) {
            values[c] = static_cast<float>(elementValue(element, results[c], accuracy));
            horizontal[c] = results[c].BH;
        }
    }
}

}  // namespace

MapFieldSource::MapFieldSource(const ModelEngine& engine) : m_engine(std::make_unique<ModelEngine>(engine))
{
    m_engine->setMessageSink(silentSink());
    if (hasModel()) {
        m_accuracy = publishedAccuracy(m_engine->model().modelName);
    }
}

MapFieldSource::~MapFieldSource() = default;

bool MapFieldSource::hasModel() const
{
    return m_engine->isLoaded();
}

std::string MapFieldSource::modelName() const
{
    return hasModel() ? trimmedModelName(m_engine->model().modelName) : std::string();
}

double MapFieldSource::firstYear() const
{
    return hasModel() ? static_cast<double>(m_engine->model().epoch) : 0.0;
}

double MapFieldSource::lastYear() const
{
    return hasModel() ? static_cast<double>(m_engine->model().epoch + m_engine->model().lifeSpan) : 0.0;
}

bool MapFieldSource::provides(MapElement element) const
{
    if (!hasModel()) {
        return false;
    }
    const MagneticModel& model = m_engine->model();
    if (elementIsAnnualChange(element)) {
        return !model.laterEpochs.empty() ||
               std::any_of(model.ratePairs.begin(), model.ratePairs.end(), [](float v) { return v != 0.0f; });
    }
    if (element == MapElement::DeclinationUncertainty) {
        return m_accuracy != nullptr && m_accuracy->hasDeclination;
    }
    return true;
}

FieldLattice MapFieldSource::lattice(MapElement element, double south, double north, double latStep, double west,
                                     double east, double lonStep, float elevation, float date,
                                     unsigned threads) const
{
    FieldLattice lattice;
    lattice.south = south;
    lattice.latStep = latStep;
    lattice.west = west;
    lattice.lonStep = lonStep;
    lattice.rows = std::max<std::size_t>(2, stepsBetween(south, north, latStep));
    lattice.columns = std::max<std::size_t>(2, stepsBetween(west, east, lonStep));
    lattice.wraps = elementIsAngleThatWraps(element);
    lattice.values.assign(lattice.rows * lattice.columns, 0.0f);
    lattice.horizontal.assign(lattice.rows * lattice.columns, 0.0f);
    if (!hasModel()) {
        std::fill(lattice.values.begin(), lattice.values.end(), std::nanf(""));
        return lattice;
    }
    if (threads == 0) {
        threads = std::max(1U, std::thread::hardware_concurrency());
    }
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, lattice.rows));
    const std::size_t share = (lattice.rows + threads - 1) / threads;
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t) {
        const std::size_t first = share * t;
        const std::size_t last = std::min(lattice.rows, first + share);
        if (first < last) {
            workers.emplace_back(fillRows, *m_engine, std::ref(lattice), element, m_accuracy, elevation, date, first,
                                 last);
        }
    }
    fillRows(*m_engine, lattice, element, m_accuracy, elevation, date, 0, std::min(share, lattice.rows));
    for (auto& worker : workers) {
        worker.join();
    }
    return lattice;
}

double MapFieldSource::valueAt(MapElement element, double latitude, double longitude, float elevation,
                               float date) const
{
    if (!hasModel()) {
        return std::nan("");
    }
    const FieldResult result = m_engine->computePoint(elevation, static_cast<float>(latitude),
                                                      static_cast<float>(longitude), date, 0, 1);
    return elementValue(element, result, m_accuracy);
}

MagneticPoles MapFieldSource::poles(float date) const
{
    return hasModel() ? m_engine->findMagneticPoles(date) : MagneticPoles{};
}

}  // namespace tellurim
