// SPDX-License-Identifier: MIT
#pragma once
// Application profiles: the symbol settings a scheme (a payment slip, a
// driving licence, a boarding pass, a tax stamp) requires, and its data
// built from named fields. What breaks the scheme is refused, naming the
// field, the rule and the position.
//
//   const Profile* hub3 = findProfile("hub3");
//   auto built = build(*hub3, {{"amount", "12,50"}, {"iban", "HR12..."}, ...});
//   if (built) encode built->bytes with level built->settings.level,
//              columns built->settings.columns and ECI built->eci;
//
// The bytes are final: pass them to the encoder as bytes, never through a
// character-set conversion.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profiles/result.h"

namespace barquill::profiles {

// Fields as given: (key, value) in order; of two with one key the later wins.
using FieldValues = std::vector<std::pair<std::string, std::string>>;

enum class FieldKind {
    text,      // one line of text
    number,    // digits (a JSON number is accepted)
    amount,    // money: digits with an optional decimal comma or point
    document,  // the whole data, usually read from a file
    pattern,   // a family of keys, such as SUBFILE.ID; `key` shows its form
};

struct FieldDefinition {
    std::string key;           // fixed, so scripts can rely on it
    std::string label;         // a short name for people
    std::string rule;          // one line: what the value must be
    bool required = false;     // absent or empty is refused
    std::string defaultValue;  // used when absent or empty
    int maxLength = 0;         // bytes (in the data's character set), 0 none
    FieldKind kind = FieldKind::text;
    // The rule is ours, not read from a published source: help says so.
    bool ownChoice = false;
};

// What a scheme requires of the symbol; an unset value leaves the choice
// to the user.
struct ProfileSettings {
    int level = -1;               // error-correction level, -1 none
    int columns = 0;              // data columns, 0 none
    bool byteCompaction = false;  // the data goes in byte compaction only
    int rowHeightModules = 0;     // row height in module widths, 0 none
    double quietZoneInches = 0;   // least quiet zone on every side, 0 none
    bool neverCompact = false;    // a compact symbol breaks the scheme
    bool splitIntoMacro = false;  // data too long for one symbol goes as a Macro PDF417 series
    std::string charset;          // the set the data bytes are in; empty: not fixed
    int eci = -1;                 // the ECI designator to write, -1 none
};

// Printing advice a scheme gives: the front end, which knows the printed
// size, warns when it is not met (see checkPrintSize).
struct PrintAdvice {
    double minModuleMillimetres = 0;  // 0 none
    double maxModuleMillimetres = 0;  // 0 none
    int minRowHeightModules = 0;      // 0 none
};

enum class Hub3Charset {
    iso8859_2,  // ISO-8859-2 with ECI 4
    utf8,       // UTF-8 with ECI 26
    ascii,      // letters transliterated to ASCII (č to c), no ECI
};

// The choices a user may make within a scheme.
struct BuildChoices {
    Hub3Charset hub3Charset = Hub3Charset::iso8859_2;
};

enum class WarningCode {
    transliterated,   // `field`: `value` characters were replaced by ASCII letters
    dataLooksUtf8,    // `field`: the data reads as UTF-8 where the scheme wants ISO-8859-1
    moduleTooNarrow,  // `value` millimetres, below `limit`
    moduleTooWide,    // `value` millimetres, above `limit`
    rowsTooLow,       // rows `value` module widths high, below `limit`
};

struct Warning {
    WarningCode code = WarningCode::transliterated;
    std::string field;
    std::size_t position = 0;  // 1-based character of the first case, 0 none
    double value = 0;
    double limit = 0;
};

struct Built {
    std::string bytes;         // the data, in the scheme's layout and character set
    ProfileSettings settings;  // the profile's settings with the choices applied
    int eci = -1;              // the ECI designator to write, -1 none
    std::vector<Warning> warnings;
};

enum class ProfileErrorCode : int {
    unknownField,  // `field` is not a key of the profile
    missingField,  // `field` is required and absent or empty
    tooLong,       // `length` bytes where at most `limit` fit; `position`: the first that does not
    wrongLength,   // `length` characters where exactly `limit` are required
    badCharacter,  // the character at `position` breaks `rule`
    notAllowedValue,       // the value is none of those `rule` allows
    invalidUtf8,           // the text is not UTF-8: `position` is the first bad byte
    notRepresentable,      // `character`, at `position`, has no form in the chosen set
    tooManyDecimals,       // `length` decimals, at most `limit`; `position`: the first too many
    negativeAmount,        // a minus sign at `position`
    amountTooLarge,        // `length` digits, at most `limit`
    badCheckDigits,        // the IBAN's check digits do not match the rest (ISO 13616)
    outOfRange,            // the number `length` lies outside `minimum` to `limit`
    badDate,               // the date part starting at `position` is not a valid date
    badSubfileType,        // `field`'s subfile type is not two capital letters
    badElementId,          // `field`'s element ID is not three capital letters
    missingElement,        // `field` (SUBFILE.ID) is mandatory in the chosen version
    missingSubfile,        // the data has neither a DL nor an ID subfile
    tooManyLegs,           // `length` legs, at most `limit`
    dataTooLarge,          // `length` bytes, the layout addresses at most `limit`
    malformedData,         // reading a layout: at byte `position`, `field` breaks `rule`
    jsonSyntax,            // not JSON: at line `line`, column `position`
    jsonNotObject,         // the JSON is not one object
    jsonUnsupportedValue,  // `field` holds a value that is neither a string nor a number
    jsonTooDeep,           // `field` opens a level past `limit` objects and arrays deep
    jsonKeyTooLong,        // a joined key of `length` bytes, at most `limit`; `field` its start
};

struct ProfileError {
    ProfileErrorCode code = ProfileErrorCode::unknownField;
    std::string field;         // the key at fault (legs.1.from, DL.DBB, ...)
    std::string rule;          // the rule broken, one line
    std::size_t position = 0;  // 1-based character or byte where it applies, 0 none
    long length = 0;           // the length or number found
    long limit = 0;            // the most allowed (or the exact length required)
    long minimum = 0;          // outOfRange: the least allowed
    int line = 0;              // JSON: the 1-based line
    std::string character;     // notRepresentable: the character, in UTF-8;
                               // badCharacter for a control: its code point, U+XXXX
};

struct Profile;
using Builder = Result<Built, ProfileError> (*)(const Profile&, const FieldValues&,
                                                const BuildChoices&);

struct Profile {
    std::string name;   // as the user names it, e.g. "hub3"
    std::string title;  // one line for people
    ProfileSettings settings;
    PrintAdvice printAdvice;
    std::vector<FieldDefinition> fields;
    Builder builder = nullptr;
};

// Every profile, in the order lists show them.
const std::vector<Profile>& profiles();

// The profile of that name (exact, lower case), or null.
const Profile* findProfile(std::string_view name);

// Builds the scheme's data from the fields.
Result<Built, ProfileError> build(const Profile& profile, const FieldValues& fields,
                                  const BuildChoices& choices = {});

// The character-set choice of HUB-3 by name ("ISO-8859-2", "UTF-8",
// "ASCII"; case, '-' and '_' ignored), or nothing.
std::optional<Hub3Charset> findHub3Charset(std::string_view name);

// --- Settings the user gives --------------------------------------------------

enum class Compaction { automatic, text, numeric, byte };

// Symbol settings as the user gave them; nothing means not given.
struct UserSettings {
    std::optional<int> level{};
    std::optional<int> columns{};
    std::optional<bool> compact{};
    std::optional<Compaction> compaction{};
    std::optional<double> rowHeightModules{};  // row height ÷ module width
    std::optional<double> quietZoneInches{};   // the smallest side's
    std::string charset{};                     // empty: not given
    std::optional<int> eci{};
};

enum class Setting {
    level,
    columns,
    compact,
    compaction,
    rowHeight,
    quietZone,
    macro,  // never in conflict: the front end splits data too long for one symbol
    charset,
    eci,
};

struct SettingConflict {
    Setting setting = Setting::level;
    std::string rule;  // what the scheme requires, one line
    double given = 0;  // the user's value (numeric settings)
    double required = 0;
};

// The user's settings that break the scheme: the front end refuses them
// (or, told to be relaxed, warns and goes on).
std::vector<SettingConflict> checkSettings(const Profile& profile, const UserSettings& user,
                                           const BuildChoices& choices = {});

// Warnings for a printed size that misses the profile's advice.
std::vector<Warning> checkPrintSize(const Profile& profile, double moduleMillimetres,
                                    double rowHeightMillimetres);

// --- JSON input ---------------------------------------------------------------

// Objects and arrays within one another, the outermost object counted. A
// profile reads three at most (subfiles.DL.DCS, legs.0.from); the bound
// keeps what a reader holds per level small and its time short.
constexpr int maxJsonDepth = 5;
// The bytes of one joined key (legs.0.from). Every value carries its whole
// key, so without a bound a long outer key repeated over many values would
// cost memory by the square of the input.
constexpr std::size_t maxJsonKeyBytes = 256;

// Flattens one JSON object into fields, in document order: nested objects
// join their keys with '.', arrays add the index (legs.0.from); a number
// becomes its decimal text. The members of a top-level "subfiles" object
// go without that prefix (DL.DCS), as on the command line. Deeper than
// maxJsonDepth or a key longer than maxJsonKeyBytes is refused, naming the
// key and the limit.
Result<FieldValues, ProfileError> parseFieldsJson(std::string_view json);

// JSON Lines: one object per line, blank lines skipped. Each record keeps
// its line; errors count lines from the start of the text.
struct FieldsRecord {
    int line = 0;
    std::optional<FieldValues> fields;  // or:
    std::optional<ProfileError> error;
};
std::vector<FieldsRecord> parseFieldsJsonLines(std::string_view text);

// --- Text for people ------------------------------------------------------------

// One line per profile: name and title.
std::string profileList();
// The profile's title, its settings and each field with its rule.
std::string fieldHelp(const Profile& profile);
// The settings in words, e.g. "error-correction level 4, 9 data columns".
std::string describeSettings(const ProfileSettings& settings);
// One line for an error, a warning, a conflict.
std::string describe(const ProfileError& error);
std::string describe(const Warning& warning);
std::string describe(const SettingConflict& conflict);

}  // namespace barquill::profiles
