#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tellurim {

/// A value, or the reason in words it could not be had.
template <class T>
struct Outcome {
    std::optional<T> value;
    std::string problem;  ///< empty when value is set

    static Outcome ok(T v) { return Outcome{std::move(v), {}}; }
    static Outcome fail(std::string why) { return Outcome{std::nullopt, std::move(why)}; }
    explicit operator bool() const { return value.has_value(); }
};

/// While it lives on a thread, GDAL's drivers are registered (once for the
/// process) and GDAL prints nothing of its own: its last error is kept for
/// problem(), so the program says what went wrong in its own message.
class GdalSession {
public:
    GdalSession();
    ~GdalSession();
    GdalSession(const GdalSession&) = delete;
    GdalSession& operator=(const GdalSession&) = delete;

    /// what, followed by GDAL's last error message when it gave one:
    /// "cannot create the GeoTIFF file: Free disk space available is ...".
    static std::string problem(std::string_view what);
};

}  // namespace tellurim
