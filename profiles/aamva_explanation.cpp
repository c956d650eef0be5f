// SPDX-License-Identifier: MIT
// A card's data laid out for people: the header, then each subfile with its
// elements, named from the element table.

#include <string>

#include "profiles/aamva.h"

namespace barquill::profiles {

std::string explainAamva(const AamvaData& data) {
    std::string text = "IIN " + data.iin + ", AAMVA version " + std::to_string(data.version) +
                       ", jurisdiction version " + std::to_string(data.jurisdictionVersion) + '\n';
    for (const AamvaSubfile& subfile : data.subfiles) {
        text += subfile.type + " subfile, bytes " + std::to_string(subfile.offset + 1) + " to " +
                std::to_string(subfile.offset + subfile.length) + '\n';
        for (const AamvaValue& element : subfile.elements) {
            const AamvaElement* known = findAamvaElement(element.id);
            text += "  " + element.id + ' ' + (known ? known->name : "(the jurisdiction's own)") +
                    ": " + element.value + '\n';
        }
    }
    return text;
}

}  // namespace barquill::profiles
