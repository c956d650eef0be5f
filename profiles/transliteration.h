// SPDX-License-Identifier: MIT
#pragma once
// Latin letters spelled in ASCII (č to c, đ to d, Ž to Z), for schemes whose
// readers know only ASCII.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace barquill::profiles {

struct LetterForm {
    char32_t letter;
    const char* ascii;
};

// The letters of ISO-8859-1 and ISO-8859-2 with their ASCII forms, in code
// point order.
const std::vector<LetterForm>& letterForms();

// The ASCII form of a letter of the table, or empty.
std::string_view asciiForm(char32_t letter);

struct Transliteration {
    std::string text;
    std::size_t replaced = 0;       // characters given their ASCII form
    std::size_t firstReplaced = 0;  // 1-based character position, 0 none
    // The first character with no ASCII form: its 1-based position, 0 none.
    std::size_t unknownPosition = 0;
    std::string unknownCharacter;  // that character, in UTF-8
};

// Transliterates valid UTF-8 text; stops at a character without an ASCII form.
Transliteration transliterate(std::string_view utf8);

}  // namespace barquill::profiles
