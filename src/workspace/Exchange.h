#pragma once

#include "platform/Interaction.h"
#include "workspace/FieldTable.h"
#include "record/NumberText.h"

#include <string>

namespace tellurim {

/// The texts a control shows and the checks a take applies, independent of
/// the process locale (the decimal separator is always '.').

/// Why a take stopped at a field.
enum class TakeProblem { NotANumber, OutOfRange };

/// The message a take shows for a bad field: "Please enter a number." (no
/// icon) and its integer and range variants (exclamation icon), captioned
/// with the application's name; range bounds in the field's display format.
Message takeMessage(const FieldSpec& spec, TakeProblem problem);
/// The same message for any field of that kind and inclusive range.
Message takeMessage(FieldKind kind, double minimum, double maximum, TakeProblem problem);

}  // namespace tellurim
