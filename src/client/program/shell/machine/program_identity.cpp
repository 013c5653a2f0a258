// The build id is read from the executable's own note segment as loaded, not from its file.
#include "shell/machine/program_identity.hpp"

#include "korvan_version.hpp"

#if defined(__linux__)
#include <elf.h>
#include <link.h>

#include <cstring>
#endif

namespace korvan {

#if defined(__linux__)

namespace {

// The first object dl_iterate_phdr reports is the executable.
int readBuildId(dl_phdr_info* info, std::size_t, void* data) {
    auto& id = *static_cast<std::string*>(data);
    for (int k = 0; k < info->dlpi_phnum; ++k) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[k];
        if (segment.p_type != PT_NOTE) {
            continue;
        }
        const char* at = reinterpret_cast<const char*>(info->dlpi_addr + segment.p_vaddr);
        const char* const end = at + segment.p_memsz;
        while (end - at >= static_cast<std::ptrdiff_t>(sizeof(ElfW(Nhdr)))) {
            ElfW(Nhdr) note;
            std::memcpy(&note, at, sizeof note);
            const char* name = at + sizeof note;
            const char* desc = name + ((note.n_namesz + 3) & ~3u);
            const char* next = desc + ((note.n_descsz + 3) & ~3u);
            if (next > end) {
                break;
            }
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
                static constexpr char hex[] = "0123456789abcdef";
                for (std::uint32_t b = 0; b < note.n_descsz; ++b) {
                    const auto byte = static_cast<unsigned char>(desc[b]);
                    id += hex[byte >> 4];
                    id += hex[byte & 15];
                }
                return 1;
            }
            at = next;
        }
    }
    return 1;
}

} // namespace

std::string programIdentity() {
    std::string id = KORVAN_VERSION " ";
    dl_iterate_phdr(readBuildId, &id);
    return id;
}

#else

std::string programIdentity() { return KORVAN_VERSION; }

#endif

} // namespace korvan
