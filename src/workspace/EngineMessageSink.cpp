#include "workspace/EngineMessageSink.h"

#include <algorithm>

namespace tellurim {

std::string engineTextToLines(const std::string& text)
{
    std::string lines = text;
    std::replace(lines.begin(), lines.end(), ';', '\n');
    return lines;
}

}  // namespace tellurim
