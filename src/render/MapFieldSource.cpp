#include "render/MapFieldSource.h"

#include "engine/MagneticModel.h"
#include "engine/PoleFinder.h"
#include "gis/LatticeEvaluator.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tellurim {

MapFieldSource::MapFieldSource(std::shared_ptr<const MagneticModel> model) : m_model(std::move(model))
{
    if (hasModel()) {
        m_accuracy = publishedAccuracy(m_model->name());
    }
}

MapFieldSource::~MapFieldSource() = default;

bool MapFieldSource::hasModel() const
{
    return m_model != nullptr;
}

std::string MapFieldSource::modelName() const
{
    return hasModel() ? trimmedModelName(m_model->name()) : std::string();
}

double MapFieldSource::firstYear() const
{
    return hasModel() ? static_cast<double>(m_model->validFrom()) : 0.0;
}

double MapFieldSource::lastYear() const
{
    return hasModel() ? static_cast<double>(m_model->validUntil()) : 0.0;
}

bool MapFieldSource::provides(FieldElement element) const
{
    if (!hasModel()) {
        return false;
    }
    if (element >= FieldElement::DeltaD && element <= FieldElement::DeltaZ) {
        return m_model->hasAnnualChange();
    }
    if (element == FieldElement::SigmaD) {
        return m_accuracy != nullptr && m_accuracy->hasDeclination;
    }
    return true;
}

MapLattices MapFieldSource::lattices(const LatticeGeometry& geometry, FieldElement element, float elevation,
                                     float date) const
{
    LatticeEvaluator evaluator(m_model, FieldInstant{elevation, date});
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
    const FieldResult result =
        m_model->point(date, static_cast<float>(latitude), static_cast<float>(longitude), elevation);
    return static_cast<double>(elementValue(element, result, m_accuracy));
}

MagneticPoles MapFieldSource::poles(float date) const
{
    return hasModel() ? findMagneticPoles(*m_model, date) : MagneticPoles{};
}

}  // namespace tellurim
