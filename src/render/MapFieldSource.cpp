#include "render/MapFieldSource.h"

#include "engine/EngineMessageSink.h"
#include "engine/ModelEngine.h"
#include "gis/LatticeEvaluator.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tellurim {

namespace {

// A map is drawn again and again: the life-span warning belongs to the
// main window's calculation, not to every frame.
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

bool MapFieldSource::provides(FieldElement element) const
{
    if (!hasModel()) {
        return false;
    }
    const MagneticModel& model = m_engine->model();
    if (element >= FieldElement::DeltaD && element <= FieldElement::DeltaZ) {
        return !model.laterEpochs.empty() ||
               std::any_of(model.ratePairs.begin(), model.ratePairs.end(), [](float v) { return v != 0.0f; });
    }
    if (element == FieldElement::SigmaD) {
        return m_accuracy != nullptr && m_accuracy->hasDeclination;
    }
    return true;
}

MapLattices MapFieldSource::lattices(const LatticeGeometry& geometry, FieldElement element, float elevation,
                                     float date) const
{
    LatticeEvaluator evaluator(*m_engine, FieldInstant{elevation, date});
    const std::array elements{element, FieldElement::H};
    std::vector<Lattice> both = evaluator.evaluate(geometry, elements);
    return MapLattices{std::move(both[0]), std::move(both[1])};
}

double MapFieldSource::valueAt(FieldElement element, double latitude, double longitude, float elevation,
                               float date) const
{
    if (!hasModel()) {
        return std::nan("");
    }
    const FieldResult result = m_engine->computePoint(elevation, static_cast<float>(latitude),
                                                      static_cast<float>(longitude), date, 0, 1);
    return static_cast<double>(elementValue(element, result, m_accuracy));
}

MagneticPoles MapFieldSource::poles(float date) const
{
    return hasModel() ? m_engine->findMagneticPoles(date) : MagneticPoles{};
}

}  // namespace tellurim
