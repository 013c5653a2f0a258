// A fast 64-bit hash of bytes, to recognise content that changed (not against anyone forging it).
#pragma once

#include <cstdint>
#include <string_view>

namespace korvan {

std::uint64_t contentHash(std::string_view bytes, std::uint64_t seed = 0);

} // namespace korvan
