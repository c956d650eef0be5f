#include "cli/batch_input.h"

#include <cstdio>

namespace barquill::cli {

std::vector<BatchItem> splitBatch(std::string_view input, bool nulSeparated) {
    std::vector<BatchItem> items;
    const char separator = nulSeparated ? '\0' : '\n';
    int line = 0;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find(separator, start);
        if (end == std::string_view::npos) end = input.size();
        std::string_view text = input.substr(start, end - start);
        start = end + 1;

        BatchItem item;
        item.line = ++line;
        if (!nulSeparated) {
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            const std::size_t tab = text.find_last_of('\t');
            if (tab != std::string_view::npos) {
                item.outputName = std::string(text.substr(tab + 1));
                text = text.substr(0, tab);
            }
        }
        item.data = std::string(text);
        items.push_back(std::move(item));
    }
    return items;
}

CounterPattern CounterPattern::parse(std::string_view pattern, std::string* error) {
    CounterPattern result;
    int counters = 0;
    std::string* part = &result.before_;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *part += pattern[i];
            continue;
        }
        std::size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '%') {
            *part += '%';
            i = j;
            continue;
        }
        bool zero = false;
        if (j < pattern.size() && pattern[j] == '0') {
            zero = true;
            ++j;
        }
        int width = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && width < 100)
            width = width * 10 + (pattern[j++] - '0');
        if (j >= pattern.size() || pattern[j] != 'd' || width > 20) {
            *error = "the output name \"" + std::string(pattern) +
                     "\" has a % that is not a counter (%d, %5d or %05d; %% for a percent sign)";
            return result;
        }
        result.zeroPadded_ = zero;
        result.width_ = width;
        part = &result.after_;
        ++counters;
        i = j;
    }
    if (counters != 1)
        *error = "in a batch the output name needs exactly one counter such as %05d, not " +
                 std::to_string(counters) + " (\"" + std::string(pattern) + "\")";
    else
        error->clear();
    return result;
}

std::string CounterPattern::nameFor(int counter) const {
    char number[32];
    std::snprintf(number, sizeof number, zeroPadded_ ? "%0*d" : "%*d", width_, counter);
    return before_ + number + after_;
}

}  // namespace barquill::cli
