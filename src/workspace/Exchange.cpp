#include "workspace/Exchange.h"

#include <utility>

namespace tellurim {
namespace {

std::string replaceAll(std::string text, std::string_view from, const std::string& to)
{
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string formatBound(FieldKind kind, double bound)
{
    if (kind == FieldKind::Integer)
        return formatInteger(static_cast<int32_t>(bound));
    return formatSingle(static_cast<float>(bound));
}

}  // namespace

Message takeMessage(const FieldSpec& spec, TakeProblem problem)
{
    return takeMessage(spec.kind, spec.minimum, spec.maximum, problem);
}

Message takeMessage(FieldKind kind, double minimum, double maximum, TakeProblem problem)
{
    const bool integer = kind == FieldKind::Integer;
    Message message;
    message.caption = std::string(kAppName);
    message.buttons = Buttons::Ok;
    if (problem == TakeProblem::NotANumber) {
        message.icon = Icon::None;
        message.text = integer ? std::string(kEnterIntegerText) : "Please enter a number.";
        return message;
    }
    message.icon = Icon::Exclamation;
    std::string text = integer ? "Please enter an integer between %1 and %2."
                               : "Please enter a number between %1 and %2.";
    text = replaceAll(std::move(text), "%1", formatBound(kind, minimum));
    message.text = replaceAll(std::move(text), "%2", formatBound(kind, maximum));
    return message;
}

}  // namespace tellurim
