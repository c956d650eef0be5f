// SPDX-License-Identifier: MIT
#include <algorithm>
#include <string>

#include "profiles/aamva.h"

namespace barquill::profiles {

const AamvaElement* findAamvaElement(std::string_view id) {
    const auto& elements = aamvaElements();
    const auto found = std::find_if(elements.begin(), elements.end(),
                                    [&](const AamvaElement& element) { return element.id == id; });
    return found == elements.end() ? nullptr : &*found;
}

std::string elementRule(const AamvaElement& element) {
    switch (element.format) {
        case AamvaFormat::date:
            return "MMDDCCYY from US issuers, CCYYMMDD from Canadian ones (DCG CAN)";
        case AamvaFormat::sex:
            return "1 male, 2 female, 9 not specified";
        case AamvaFormat::country:
            return "USA or CAN";
        case AamvaFormat::truncation:
            return "T truncated, N not truncated, U unknown";
        case AamvaFormat::height:
            return "three digits, a space and in or cm (070 in)";
        case AamvaFormat::text:
            break;
    }
    return "at most " + std::to_string(element.maxLength) + " characters";
}

bool isMandatory(const AamvaElement& element, std::string_view subfileType, int version) {
    const bool inSubfile = (subfileType == "DL" && element.mandatoryInLicences) ||
                           (subfileType == "ID" && element.mandatoryInIdCards);
    return inSubfile && element.mandatoryFrom != 0 && version >= element.mandatoryFrom &&
           (element.mandatoryUntil == 0 || version <= element.mandatoryUntil);
}

}  // namespace barquill::profiles
