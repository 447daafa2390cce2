#pragma once

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tellurim {

/// One row of the published WMM2025 test values: the inputs, then the field
/// in nT and the angles in degrees.
struct PublishedValue {
    float date;
    float heightKm;
    float latitude;
    float longitude;
    double x, y, z, h, f, inclination, declination;
};

/// Every row of the published test values shipped with the tests.
inline std::vector<PublishedValue> readPublishedValues()
{
    std::ifstream in(std::string{TELLURIM_TEST_DATA_DIR} + "/wmm2025_test_values.csv");
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
