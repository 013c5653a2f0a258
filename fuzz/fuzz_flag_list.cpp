// Fuzz target: flags.json, the list of the flag atlas.
#include "fuzz_support.hpp"
#include "geography/flag_list.hpp"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvan::fuzz::feed(data, size, [](std::istream& input) {
        const std::vector<std::string> ids = korvan::loadFlagList(input);
        // What loads is what the atlas may be sized by: a bounded, non-empty list of short names.
        if (ids.empty() || ids.size() > korvan::maxFlags) {
            std::abort();
        }
        for (const std::string& id : ids) {
            if (id.empty() || id.size() > 64) {
                std::abort();
            }
        }
    });
    return 0;
}
