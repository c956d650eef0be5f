// SPDX-License-Identifier: MIT
// Fields from JSON, flattened in document order by a SAX reader, so that the
// order of subfiles, elements and legs is the order written.

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>

#include "profiles/field_set.h"

namespace barquill::profiles {

namespace {

using Json = nlohmann::json;

// Collects the fields; stops at the first value that is no field.
class Flattener {
public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    FieldValues fields;
    std::optional<ProfileError> error;
    std::size_t errorOffset = 0;  // syntax errors: the byte where reading stopped

    bool null() { return unsupported(); }
    bool boolean(bool) { return unsupported(); }
    bool binary(binary_t&) { return unsupported(); }
    bool number_integer(number_integer_t value) { return add(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) { return add(std::to_string(value)); }
    bool number_float(number_float_t value, const string_t& written) {
        // As written, unless written with an exponent.
        if (written.find_first_of("eE") == std::string::npos) return add(written);
        // Fixed notation of any double fits: 309 digits before the point,
        // 324 after.
        char digits[700];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
        return add(end.ec == std::errc{} ? std::string(digits, end.ptr) : written);
    }
    bool string(string_t& value) { return add(value); }

    bool start_object(std::size_t) {
        if (frames_.empty()) {
            frames_.push_back({false, "", 0, "", true});
            return true;
        }
        const bool subfiles = frames_.size() == 1 && frames_.back().key == "subfiles";
        std::string path;
        if (!nextPath(path) || !deeper(path)) return false;
        frames_.push_back({false, subfiles ? "" : std::move(path), 0, "", subfiles});
        return true;
    }
    bool key(string_t& name) {
        frames_.back().key = std::move(name);
        return true;
    }
    bool end_object() { return end(); }
    bool start_array(std::size_t) {
        if (frames_.empty()) return notObject();
        std::string path;
        if (!nextPath(path) || !deeper(path)) return false;
        frames_.push_back({true, std::move(path), 0, "", false});
        return true;
    }
    bool end_array() { return end(); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
        error = keyError(ProfileErrorCode::jsonSyntax, "");
        errorOffset = position == 0 ? 0 : position - 1;
        return false;
    }

private:
    struct Frame {
        bool array;
        std::string path;
        std::size_t next;  // arrays: the next element's index
        std::string key;   // objects: the current member's key
        // The top object's and the subfiles' members are named by their own
        // keys; any deeper member joins its frame's path, even an empty one.
        bool standsAlone;
    };
    std::vector<Frame> frames_;

    // The joined key of the value that comes next; false, with the error
    // set, when it is too long.
    bool nextPath(std::string& path) {
        Frame& frame = frames_.back();
        const std::string name = frame.array ? std::to_string(frame.next++) : frame.key;
        const std::size_t length =
            frame.standsAlone ? name.size() : frame.path.size() + 1 + name.size();
        if (length > maxJsonKeyBytes) {
            std::string start = frame.standsAlone ? name : frame.path + "." + name;
            error = keyError(ProfileErrorCode::jsonKeyTooLong, cutAt(start, keyShown), "", 0,
                             static_cast<long>(length), static_cast<long>(maxJsonKeyBytes));
            return false;
        }
        path = frame.standsAlone ? name : frame.path + "." + name;
        return true;
    }
    // Whether one more level may open at `path`; false, with the error set.
    bool deeper(const std::string& path) {
        if (frames_.size() < static_cast<std::size_t>(maxJsonDepth)) return true;
        error = keyError(ProfileErrorCode::jsonTooDeep, path, "", 0,
                         static_cast<long>(frames_.size()) + 1, maxJsonDepth);
        return false;
    }
    // The first `bytes` of a key, whole UTF-8 characters.
    static std::string cutAt(std::string text, std::size_t bytes) {
        if (text.size() <= bytes) return text;
        while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
        text.resize(bytes);
        return text + "...";
    }
    static constexpr std::size_t keyShown = 40;  // of a key too long to show whole
    bool add(std::string value) {
        if (frames_.empty()) return notObject();
        std::string path;
        if (!nextPath(path)) return false;
        fields.emplace_back(std::move(path), std::move(value));
        return true;
    }
    bool end() {
        frames_.pop_back();
        return true;
    }
    bool unsupported() {
        if (frames_.empty()) return notObject();
        std::string path;
        if (!nextPath(path)) return false;
        error = keyError(ProfileErrorCode::jsonUnsupportedValue, std::move(path),
                         "a string or a number");
        return false;
    }
    bool notObject() {
        error = keyError(ProfileErrorCode::jsonNotObject, "", "one JSON object");
        return false;
    }
};

}  // namespace

Result<FieldValues, ProfileError> parseFieldsJson(std::string_view json) {
    Flattener flattener;
    const bool done = Json::sax_parse(json, &flattener);
    if (done && !flattener.error) return std::move(flattener.fields);
    ProfileError error = flattener.error.value_or(keyError(ProfileErrorCode::jsonSyntax, ""));
    if (error.code == ProfileErrorCode::jsonSyntax) {
        const std::size_t offset = std::min(flattener.errorOffset, json.size());
        const std::string_view before = json.substr(0, offset);
        const std::size_t lastBreak = before.rfind('\n');
        error.line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        error.position = offset - (lastBreak == std::string_view::npos ? 0 : lastBreak + 1) + 1;
    }
    return error;
}

std::vector<FieldsRecord> parseFieldsJsonLines(std::string_view text) {
    std::vector<FieldsRecord> records;
    int line = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view content = text.substr(start, end - start);
        start = end + 1;
        ++line;
        if (content.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        FieldsRecord record;
        record.line = line;
        auto fields = parseFieldsJson(content);
        if (fields) {
            record.fields = std::move(fields).value();
        } else {
            record.error = fields.error();
            if (record.error->line != 0) record.error->line = line;
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace barquill::profiles
