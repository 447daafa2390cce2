#include "workspace/Workspace.h"


namespace tellurim {

bool Workspace::useDate(float decimalYear)
{
    const FieldSpec& date = fieldSpec(Field::DDATE);
    if (!(decimalYear >= static_cast<float>(date.minimum) && decimalYear <= static_cast<float>(date.maximum)))
        return false;
    record.DDATE = decimalYear;
    deriveFrom(Field::DDATE);
    recalculate();
    show();
    return true;
}

}  // namespace tellurim
