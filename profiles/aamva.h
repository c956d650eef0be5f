// SPDX-License-Identifier: MIT
#pragma once
// The AAMVA DL/ID card layout: its element table, and reading the layout
// back (to explain a card's data, and to check what was built).
//
// Data: compliance indicator '@', LF, RS, CR, "ANSI ", issuer
// identification number (6 digits), AAMVA version (2), jurisdiction
// version (2), number of entries (2); a designator per subfile (type 2,
// offset 4, length 4, offsets from the start of the data); then each
// subfile: its type and its elements (ID 3 and value), separated by LF and
// ended by CR.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/profiles.h"

namespace barquill::profiles {

enum class AamvaFormat {
    text,        // printable characters
    date,        // MMDDCCYY from US issuers, CCYYMMDD from Canadian ones
    sex,         // 1 male, 2 female, 9 not specified
    country,     // USA or CAN
    truncation,  // T truncated, N not truncated, U unknown
    height,      // three digits, a space and "in" or "cm"
};

struct AamvaElement {
    const char* id;
    const char* name;
    int mandatoryFrom;         // the first version it is mandatory in, 0 optional
    int mandatoryUntil;        // the last, 0 still mandatory
    bool mandatoryInLicences;  // in the DL subfile
    bool mandatoryInIdCards;   // in the ID subfile
    AamvaFormat format;
    int maxLength;
};

// The element table, from aamva_elements.csv.
const std::vector<AamvaElement>& aamvaElements();

// The element of that ID, or null.
const AamvaElement* findAamvaElement(std::string_view id);

// What a value of the element must be, one line.
std::string elementRule(const AamvaElement& element);

// A subfile type is DL (licence), ID (identification card), or Z and a
// letter (the issuer's own). For two capital letters: the 0-based position
// of the first letter that keeps them from being one, or npos.
inline std::size_t subfileTypeFault(std::string_view type) {
    if (type == "DL" || type == "ID" || type.substr(0, 1) == "Z") return std::string_view::npos;
    return type[0] == 'D' || type[0] == 'I' ? 1 : 0;
}

// True when the element is mandatory in that subfile type at that version.
bool isMandatory(const AamvaElement& element, std::string_view subfileType, int version);

struct AamvaValue {
    std::string id;  // three letters
    std::string value;
};

struct AamvaSubfile {
    std::string type;                  // two letters: DL, ID, or Z and a letter
    std::size_t offset = 0;            // from the start of the data
    std::size_t length = 0;            // type and terminator included
    std::vector<AamvaValue> elements;  // in data order
};

struct AamvaData {
    std::string iin;
    int version = 0;
    int jurisdictionVersion = 0;
    std::vector<AamvaSubfile> subfiles;  // in designator order
};

// Reads the layout. An error is malformedData, naming the part (header,
// designator, subfile type) and the 1-based byte where it breaks.
Result<AamvaData, ProfileError> parseAamva(std::string_view data);

// The data read, one line per header, subfile and element, elements with
// the table's names, for people.
std::string explainAamva(const AamvaData& data);

}  // namespace barquill::profiles
