// SPDX-License-Identifier: MIT
#include "profiles/transliteration.h"

#include <algorithm>

#include "profiles/characters.h"

namespace barquill::profiles {

std::string_view asciiForm(char32_t letter) {
    const auto& forms = letterForms();
    const auto found = std::lower_bound(
        forms.begin(), forms.end(), letter,
        [](const LetterForm& form, char32_t wanted) { return form.letter < wanted; });
    if (found == forms.end() || found->letter != letter) return {};
    return found->ascii;
}

Transliteration transliterate(std::string_view utf8) {
    Transliteration result;
    std::size_t position = 0;
    for (std::size_t offset = 0; offset < utf8.size(); offset += utf8Length(utf8, offset)) {
        ++position;
        const char32_t point = codePointAt(utf8, offset);
        if (point < 0x80) {
            result.text += utf8[offset];
            continue;
        }
        const std::string_view form = asciiForm(point);
        if (form.empty()) {
            result.unknownPosition = position;
            result.unknownCharacter = std::string(utf8.substr(offset, utf8Length(utf8, offset)));
            return result;
        }
        if (result.replaced++ == 0) result.firstReplaced = position;
        result.text += form;
    }
    return result;
}

}  // namespace barquill::profiles
