// SPDX-License-Identifier: MIT
#include "service/json_body.h"

#include <charconv>
#include <nlohmann/json.hpp>

namespace barquill::service {

namespace {

constexpr std::size_t none = std::string_view::npos;

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && blank(text[at])) ++at;
    return at;
}

// Just past the closing quote of the string that opens at `at`, or none.
std::size_t stringEnd(std::string_view text, std::size_t at) {
    for (++at; at < text.size(); ++at) {
        if (text[at] == '\\')
            ++at;
        else if (text[at] == '"')
            return at + 1;
    }
    return none;
}

// Just past the value that starts at `at`: a string, brackets until the
// one that closes the first, or a bare word up to a blank, a comma or the
// object's end. None when the text ends first.
std::size_t valueEnd(std::string_view text, std::size_t at) {
    std::size_t open = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"') {
            at = stringEnd(text, at);
            if (at == none || open == 0) return at;
            continue;
        }
        if (c == '{' || c == '[') {
            ++open;
        } else if (c == '}' || c == ']') {
            if (open == 0) return at;
            if (--open == 0) return at + 1;
        } else if (open == 0 && (c == ',' || blank(c))) {
            return at;
        }
        ++at;
    }
    return open == 0 ? at : none;
}

// Reads an object of scalars; stops at the first value that is none.
class OptionReader {
public:
    using Json = nlohmann::json;
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    JsonOptions result;

    bool null() { return refuse(); }
    bool boolean(bool value) { return add(value ? "true" : "false"); }
    bool number_integer(number_integer_t value) { return add(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) { return add(std::to_string(value)); }
    bool number_float(number_float_t value, const string_t&) {
        char digits[32];
        const auto [end, status] = std::to_chars(digits, digits + sizeof digits, value);
        if (status != std::errc()) return refuse();
        return add(std::string(digits, end));
    }
    bool string(string_t& value) { return add(std::move(value)); }
    bool binary(binary_t&) { return refuse(); }
    bool start_object(std::size_t) { return ++depth_ == 1 || refuse(); }
    bool end_object() { return true; }
    bool start_array(std::size_t) { return refuse(); }
    bool end_array() { return true; }
    bool key(string_t& name) {
        key_ = std::move(name);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        key_.clear();
        return refuse();
    }

private:
    int depth_ = 0;
    std::string key_;

    bool add(std::string value) {
        if (depth_ != 1) return refuse();
        result.options.push_back({key_, std::move(value)});
        return true;
    }
    bool refuse() {
        result.refused = depth_ == 1 ? key_ : std::string();
        return false;
    }
};

}  // namespace

std::optional<std::vector<JsonMember>> objectMembers(std::string_view text) {
    std::vector<JsonMember> members;
    std::size_t at = skipBlanks(text, 0);
    if (at >= text.size() || text[at] != '{') return std::nullopt;
    at = skipBlanks(text, at + 1);
    if (at < text.size() && text[at] == '}')
        return skipBlanks(text, at + 1) == text.size() ? std::optional(members) : std::nullopt;
    while (true) {
        if (at >= text.size() || text[at] != '"') return std::nullopt;
        const std::size_t keyEnd = stringEnd(text, at);
        if (keyEnd == none) return std::nullopt;
        auto key = jsonString(text.substr(at, keyEnd - at));
        if (!key) return std::nullopt;
        at = skipBlanks(text, keyEnd);
        if (at >= text.size() || text[at] != ':') return std::nullopt;
        at = skipBlanks(text, at + 1);
        const std::size_t end = valueEnd(text, at);
        if (end == none || end == at) return std::nullopt;
        members.push_back({std::move(*key), text.substr(at, end - at)});
        at = skipBlanks(text, end);
        if (at >= text.size()) return std::nullopt;
        if (text[at] == '}') break;
        if (text[at] != ',') return std::nullopt;
        at = skipBlanks(text, at + 1);
    }
    if (skipBlanks(text, at + 1) != text.size()) return std::nullopt;
    return members;
}

std::optional<std::string> jsonString(std::string_view value) {
    // Only a string is parsed, so nothing nested is ever built.
    if (value.empty() || value.front() != '"') return std::nullopt;
    const nlohmann::json parsed = nlohmann::json::parse(value, nullptr, false);
    if (!parsed.is_string()) return std::nullopt;
    return parsed.get<std::string>();
}

JsonOptions jsonOptions(std::string_view text) {
    OptionReader reader;
    if (!nlohmann::json::sax_parse(text, &reader) && !reader.result.refused)
        reader.result.refused = std::string();
    if (reader.result.refused) reader.result.options.clear();
    return std::move(reader.result);
}

}  // namespace barquill::service
