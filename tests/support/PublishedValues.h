#pragma once

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tellurim {

/// One row of a table of test values (published WMM2025 and WMMHR-2025
/// values, IGRF-14 reference values): the inputs, then the field in nT and
/// the angles in degrees.
struct PublishedValue {
    float date;
    float heightKm;
    float latitude;
    float longitude;
    double x, y, z, h, f, inclination, declination;
};

/// Every row of a table of test values shipped with the tests.
inline std::vector<PublishedValue> readPublishedValues(const std::string& file = "wmm2025_test_values.csv")
{
    std::ifstream in(std::string{TELLURIM_TEST_DATA_DIR} + "/" + file);
    std::vector<PublishedValue> values;
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        PublishedValue v{};
        fields >> v.date >> v.heightKm >> v.latitude >> v.longitude >> v.x >> v.y >> v.z >> v.h >> v.f
            >> v.inclination >> v.declination;
        if (fields)
            values.push_back(v);
    }
    return values;
}

}  // namespace tellurim
