// SPDX-License-Identifier: MIT
// The profiles: each scheme's settings and fields. Rules here are the
// lines people read; the builders enforce them.

#include <algorithm>

#include "profiles/aamva.h"
#include "profiles/builders.h"

namespace barquill::profiles {

namespace {

// The version whose mandatory elements the form and the help show.
constexpr int currentAamvaVersion = 10;

FieldDefinition text(std::string key, std::string label, int maxLength, bool required = false) {
    FieldDefinition definition;
    definition.key = std::move(key);
    definition.label = std::move(label);
    definition.rule =
        "at most " + std::to_string(maxLength) + " characters (bytes in the chosen character set)";
    definition.required = required;
    definition.maxLength = maxLength;
    return definition;
}

Profile hub3() {
    Profile profile;
    profile.name = "hub3";
    profile.title = "Croatian payment slip (HUB-3A)";
    profile.settings.level = 4;
    profile.settings.columns = 9;
    profile.settings.charset = "ISO-8859-2";
    profile.settings.eci = 4;
    profile.fields = {
        {"currency", "Currency", "3 capital letters (ISO 4217)", false, "EUR", 3},
        {"amount", "Amount",
         "at most 2 decimals after a point or comma (123,45); written as 15 digits of cents", true,
         "", 0, FieldKind::amount},
        text("payer_name", "Payer's name", 30),
        text("payer_street", "Payer's street and number", 27),
        text("payer_place", "Payer's postcode and place", 27),
        text("recipient_name", "Recipient's name", 25, true),
        text("recipient_street", "Recipient's street and number", 25),
        text("recipient_place", "Recipient's postcode and place", 27),
        {"iban", "Recipient's IBAN",
         "HR and 19 digits whose check digits match (ISO 13616); spaces are ignored", true, "", 0},
        {"model", "Reference model", "HR and two digits (HR01); needed with a reference", false, "",
         4},
        {"reference", "Reference number", "at most 22 digits and hyphens", false, "", 22,
         FieldKind::text, true},
        {"purpose", "Purpose code", "4 capital letters (ISO 20022 purpose code, e.g. COST)", false,
         "", 4},
        text("description", "Payment description", 35),
    };
    profile.builder = buildHub3;
    return profile;
}

Profile aamva() {
    Profile profile;
    profile.name = "aamva";
    profile.title = "North American driver's licence or ID card (AAMVA DL/ID)";
    profile.settings.level = 5;
    // The card design standard's printing limits.
    profile.printAdvice = {0.17, 0.38, 3};
    profile.fields = {
        {"iin", "Issuer identification number", "6 digits, the issuing jurisdiction's", true, "", 6,
         FieldKind::number},
        // The mandatory elements of versions before 10 are our reading.
        {"version", "AAMVA version", "2 to 99; decides the mandatory elements", false, "10", 2,
         FieldKind::number, true},
        {"jurisdiction_version", "Jurisdiction version", "0 to 99", false, "0", 2,
         FieldKind::number},
    };
    for (const AamvaElement& element : aamvaElements()) {
        if (!isMandatory(element, "DL", currentAamvaVersion)) continue;
        profile.fields.push_back({std::string("DL.") + element.id, element.name,
                                  elementRule(element), true, "", element.maxLength,
                                  FieldKind::text, true});
    }
    profile.fields.push_back(
        {"SUBFILE.ID", "Any element",
         "subfile DL (licence), ID (card) or Z and a letter (the jurisdiction's); element ID of "
         "three capital letters; subfiles and elements go in the order given",
         false, "", 0, FieldKind::pattern});
    profile.builder = buildAamva;
    return profile;
}

Profile bcbp() {
    Profile profile;
    profile.name = "bcbp";
    profile.title = "IATA boarding pass (BCBP, Resolution 792), mandatory items";
    profile.fields = {
        {"name", "Passenger name", "SURNAME/GIVEN, at most 20 printable ASCII characters", true, "",
         20},
        {"eticket", "Electronic ticket indicator", "one character: E for an electronic ticket",
         false, "E", 1},
        {"pnr", "Booking reference", "at most 7 capital letters and digits", true, "", 7},
        {"from", "From airport", "3 capital letters (IATA airport code)", true, "", 3},
        {"to", "To airport", "3 capital letters (IATA airport code)", true, "", 3},
        {"carrier", "Operating carrier", "2 or 3 capital letters and digits (IATA airline code)",
         true, "", 3},
        {"flight", "Flight number", "1 to 4 digits and an optional capital letter (834, 1234A)",
         true, "", 5},
        {"date", "Date of flight", "the day of the year, 1 to 366", true, "", 3, FieldKind::number},
        {"compartment", "Compartment", "one capital letter (F, J, Y)", false, "", 1},
        {"seat", "Seat", "a row and a letter (12C, written 012C), or at most 4 characters", false,
         "", 4, FieldKind::text, true},
        {"sequence", "Check-in sequence number",
         "1 to 4 digits and an optional letter (25, written 0025), or at most 5 characters", false,
         "", 5, FieldKind::text, true},
        {"status", "Passenger status", "one character", false, "", 1},
        {"conditional", "Conditional and airline items", "at most 255 bytes, passed through", false,
         "", 255},
        {"legs.N.KEY", "Further legs",
         "pnr to conditional of leg N, 0 to 3 (the plain keys are leg 0); at most 4 legs", false,
         "", 0, FieldKind::pattern},
    };
    profile.builder = buildBcbp;
    return profile;
}

Profile siiCl() {
    Profile profile;
    profile.name = "sii-cl";
    profile.title = "Chilean electronic tax document stamp (SII)";
    profile.settings.level = 5;
    profile.settings.byteCompaction = true;
    profile.settings.rowHeightModules = 3;
    profile.settings.quietZoneInches = 0.25;
    profile.settings.neverCompact = true;
    profile.settings.charset = "ISO-8859-1";
    profile.fields = {{"data", "Stamp", "the stamp's XML in ISO-8859-1, as given", true, "", 0,
                       FieldKind::document}};
    profile.builder = buildDocument;
    return profile;
}

Profile aeatEs() {
    Profile profile;
    profile.name = "aeat-es";
    profile.title = "Spanish printed electronic invoice (AEAT)";
    profile.settings.level = 5;
    profile.settings.byteCompaction = true;
    profile.settings.splitIntoMacro = true;
    profile.fields = {
        {"data", "Invoice", "the document's bytes, as given", true, "", 0, FieldKind::document}};
    profile.builder = buildDocument;
    return profile;
}

}  // namespace

const std::vector<Profile>& profiles() {
    static const std::vector<Profile> all = {hub3(), aamva(), bcbp(), siiCl(), aeatEs()};
    return all;
}

const Profile* findProfile(std::string_view name) {
    const auto& all = profiles();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](const Profile& profile) { return profile.name == name; });
    return found == all.end() ? nullptr : &*found;
}

Result<Built, ProfileError> build(const Profile& profile, const FieldValues& fields,
                                  const BuildChoices& choices) {
    return profile.builder(profile, fields, choices);
}

}  // namespace barquill::profiles
