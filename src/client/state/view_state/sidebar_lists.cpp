#include "view_state/sidebar_lists.hpp"

#include "view_state/hover_text.hpp"

namespace korvan {

std::vector<LogLine> combatLogLines(const std::vector<std::string>& log, std::size_t length) {
    std::vector<LogLine> lines;
    for (const std::string& entry : log) {
        // Continued lines start two characters in, so they hold two fewer.
        const std::vector<std::string> first = wrapPanelText(entry, length, true);
        if (first.empty()) {
            continue;
        }
        lines.push_back({first.front(), false});
        const std::size_t rest = entry.find_first_not_of(' ', first.front().size());
        if (rest != std::string::npos) {
            for (std::string& line : wrapPanelText(entry.substr(rest), length - 2, true)) {
                lines.push_back({std::move(line), true});
            }
        }
    }
    return lines;
}

} // namespace korvan
