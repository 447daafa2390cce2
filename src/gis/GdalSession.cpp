#include "gis/GdalSession.h"

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

namespace tellurim {

GdalSession::GdalSession()
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
}

GdalSession::~GdalSession()
{
    CPLPopErrorHandler();
}

std::string GdalSession::problem(std::string_view what)
{
    std::string text(what);
    const char* message = CPLGetLastErrorMsg();
    if (message != nullptr && *message != '\0') {
        text += ": ";
        text += message;
    }
    return text;
}

}  // namespace tellurim
