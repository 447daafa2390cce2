// Feeds arbitrary bytes to the location file decoder. A file that decodes
// must encode to bytes that decode to the same record, and encode the same
// again; a file that does not decode must leave the record as it was.

#include "files/LocationFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes{reinterpret_cast<const char*>(data), size};
    tellurim::LocationRecord record;
    record.Location = "before";
    const std::string before = tellurim::encodeLocationFile(record);
    if (tellurim::decodeLocationFile(bytes, record) != tellurim::LocationReadStatus::Ok) {
        if (tellurim::encodeLocationFile(record) != before)
            std::abort();  // a refused file changed the record
        return 0;
    }
    if (!tellurim::fitsLocationFile(record))
        std::abort();  // decoded texts always fit the format
    const std::string encoded = tellurim::encodeLocationFile(record);
    tellurim::LocationRecord again;
    if (tellurim::decodeLocationFile(encoded, again) != tellurim::LocationReadStatus::Ok)
        std::abort();
    if (tellurim::encodeLocationFile(again) != encoded || again.Location != record.Location ||
        again.FILENAME != record.FILENAME)
        std::abort();
    return 0;
}
