// Reading the flag atlas's list.
#include "geography/flag_list.hpp"

#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "core/json_values.hpp"

namespace korvan {

std::vector<std::string> loadFlagList(std::istream& input) {
    return withErrorPrefix("Ungueltige Flaggenliste: ", [&] {
        const JsonDocument document(input);
        const JsonArray list = asArray(document.root(), "flags");
        const std::size_t count = elementCount(list);
        if (count == 0 || count > maxFlags) {
            failLoad("1 bis " + std::to_string(maxFlags) + " Flaggen erwartet");
        }
        std::vector<std::string> ids;
        ids.reserve(count);
        for (const JsonValue id : list) {
            const std::string_view text = asString(id, "flags");
            if (text.empty() || text.size() > 64) {
                failLoad("Leere oder zu lange Laenderkennung");
            }
            ids.emplace_back(text);
        }
        return ids;
    });
}

std::vector<std::string> loadFlagList(const std::filesystem::path& file) {
    return loadDataFile(file, fileCaps::small, "Flaggenliste fehlt: " + file.string(),
                        [](std::istream& input) { return loadFlagList(input); });
}

} // namespace korvan
