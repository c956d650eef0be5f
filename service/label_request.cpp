// SPDX-License-Identifier: MIT
#include "service/label_request.h"

#include <algorithm>
#include <set>

#include "barquill/label.hpp"
#include "barquill/settings.hpp"
#include "barquill/text.hpp"
#include "barquill/verify.hpp"
#include "service/entity_tag.h"
#include "service/json_body.h"

namespace barquill::service {

namespace {

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    });
    return result;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

ApiError notUtf8(std::size_t position) {
    Error error;
    error.code = ErrorCode::invalidText;
    error.value = static_cast<long>(position);
    return apiError(error);
}

std::optional<std::string> base64Decode(std::string_view text) {
    const auto sextet = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+' || c == '-') return 62;
        if (c == '/' || c == '_') return 63;
        return -1;
    };
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() % 4 == 1) return std::nullopt;
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        const int value = sextet(c);
        if (value < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return bytes;
}

struct ContentType {
    std::string mediaType;
    std::string charset;
};

ContentType parseContentType(std::string_view header) {
    ContentType type;
    const std::size_t semicolon = header.find(';');
    type.mediaType = lowered(trimmed(header.substr(0, semicolon)));
    std::string_view rest = semicolon == std::string_view::npos ? "" : header.substr(semicolon + 1);
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string_view parameter = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos ||
            lowered(trimmed(parameter.substr(0, equals))) != "charset")
            continue;
        std::string_view value = trimmed(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        type.charset = lowered(value);
    }
    return type;
}

// Text as the command line takes its TEXT: UTF-8, so the library gives it
// the ECI of UTF-8 when it is not plain ASCII. The two other sets HTTP
// clients commonly name are converted here; the rest must come as bytes
// with the charset option.
Answer<std::string> textOfBody(std::string_view body, std::string_view charset) {
    if (charset.empty() || charset == "utf-8" || charset == "utf8") {
        if (const std::size_t bad = firstInvalidUtf8(body)) return notUtf8(bad);
        return std::string(body);
    }
    if (charset == "us-ascii" || charset == "ascii") {
        for (std::size_t i = 0; i < body.size(); ++i)
            if (static_cast<unsigned char>(body[i]) >= 0x80) return notUtf8(i + 1);
        return std::string(body);
    }
    if (charset == "iso-8859-1" || charset == "latin1") return utf8FromLatin1(body);
    return apiError(Refusal::unsupportedMediaType, "charset=" + std::string(charset));
}

// The body's "options" member, added to the request's.
std::optional<ApiError> addOptions(std::string_view text, LabelRequest& request) {
    JsonOptions read = jsonOptions(text);
    if (read.refused)
        return apiError(Refusal::invalidJson, read.refused->empty() ? "options" : *read.refused);
    for (QueryParameter& option : read.options) request.options.push_back(std::move(option));
    return std::nullopt;
}

Answer<LabelRequest> requestFromJson(std::string_view body, LabelRequest request) {
    const auto members = objectMembers(body);
    if (!members) return apiError(Refusal::invalidJson);
    std::optional<std::string_view> data, dataBase64, options;
    for (const JsonMember& member : *members) {
        std::optional<std::string_view>* slot = member.key == "data"          ? &data
                                                : member.key == "data_base64" ? &dataBase64
                                                : member.key == "options"     ? &options
                                                                              : nullptr;
        if (slot == nullptr) return apiError(Refusal::invalidJson, member.key);
        if (*slot) return apiError(Refusal::repeatedParameter, member.key);
        *slot = member.value;
    }
    if (data.has_value() == dataBase64.has_value()) return apiError(Refusal::invalidJson, "data");
    const auto text = jsonString(data ? *data : *dataBase64);
    if (!text) return apiError(Refusal::invalidJson, data ? "data" : "data_base64");
    if (data) {
        request.data = *text;
    } else {
        auto bytes = base64Decode(*text);
        if (!bytes) return apiError(Refusal::invalidJson, "data_base64");
        request.data = std::move(*bytes);
        request.text = false;
    }
    if (options)
        if (auto error = addOptions(*options, request)) return *error;
    return request;
}

// A symbol that does not read back in the client's colours is the
// client's to mend: the scan check's own words when it saw the colours
// coming, else the same symbol is read back black on white to tell the
// colours' fault from the service's.
ApiError readBackRefusal(const Error& error, const Label& label,
                         const std::set<std::string_view>& given) {
    if (error.code != ErrorCode::notVerified) return apiError(error);
    ApiError refused = apiError(Refusal::unreadableColours);
    refused.field = given.contains("bg") ? "bg" : given.contains("fg") ? "fg" : "";
    for (const Warning& warning : label.warnings)
        if (warning.id == "contrast" || warning.id == "light-bars") {
            refused.message = warning.message + "; " + warning.change;
            return refused;
        }
    if (label.render.bar == black && label.render.space == white) return apiError(error);
    Label plain = label;
    plain.render.bar = black;
    plain.render.space = white;
    if (verifyLabel(plain)) return apiError(error);
    return refused;
}

// The profiles there are, for a request that names none.
ApiError noProfileNamed() {
    std::string names;
    for (const ProfileInfo& profile : availableProfiles())
        names += (names.empty() ? "" : ", ") + profile.name;
    ApiError error = apiError(Refusal::notFound, "profile");
    error.message = "name a profile: /v1/profiles/NAME with NAME one of " + names;
    return error;
}

}  // namespace

Answer<LabelRequest> profileRequest(std::string_view name, const std::vector<QueryParameter>& query,
                                    std::string_view body) {
    if (name.empty()) return noProfileNamed();
    LabelRequest request;
    request.profile = name;
    // The field's own rule says whether its bytes must be UTF-8, as on the
    // command line.
    for (const QueryParameter& parameter : query) {
        if (findSetting(parameter.name) != nullptr || parameter.name == "verify")
            request.options.push_back(parameter);
        else
            request.fields.emplace_back(parameter.name, parameter.value);
    }
    if (!body.empty()) {
        const auto members = objectMembers(body);
        if (!members) return apiError(Refusal::invalidJson);
        std::optional<std::string_view> fields, options;
        for (const JsonMember& member : *members) {
            std::optional<std::string_view>* slot = member.key == "fields"    ? &fields
                                                    : member.key == "options" ? &options
                                                                              : nullptr;
            if (slot == nullptr) return apiError(Refusal::invalidJson, member.key);
            if (*slot) return apiError(Refusal::repeatedParameter, member.key);
            *slot = member.value;
        }
        if (fields) {
            // Read as sent by the library, which bounds its depth.
            auto read = parseFieldsJson(*fields);
            if (!read) {
                Error error = read.error();
                if (error.field.empty()) error.field = "fields";
                return apiError(error);
            }
            request.fields.insert(request.fields.end(), read->begin(), read->end());
        }
        if (options)
            if (auto error = addOptions(*options, request)) return *error;
    }
    // A field given twice, in the query, the body or both, is ambiguous.
    std::set<std::string_view> given;
    for (const auto& [key, value] : request.fields)
        if (!given.insert(key).second) return apiError(Refusal::repeatedParameter, key);
    return request;
}

Answer<LabelRequest> requestFromQuery(const std::vector<QueryParameter>& query) {
    LabelRequest request;
    bool haveData = false;
    for (const QueryParameter& parameter : query) {
        if (parameter.name != "data") {
            request.options.push_back(parameter);
            continue;
        }
        if (haveData) return apiError(Refusal::repeatedParameter, "data");
        haveData = true;
        if (const std::size_t bad = firstInvalidUtf8(parameter.value)) return notUtf8(bad);
        request.data = parameter.value;
    }
    return request;
}

Answer<LabelRequest> requestFromBody(std::string_view contentType, std::string_view body,
                                     const std::vector<QueryParameter>& query) {
    LabelRequest request;
    for (const QueryParameter& parameter : query) {
        if (parameter.name == "data") return apiError(Refusal::repeatedParameter, "data");
        request.options.push_back(parameter);
    }
    const ContentType type = parseContentType(contentType);
    if (type.mediaType == "application/octet-stream") {
        request.data = body;
        request.text = false;
        return request;
    }
    if (type.mediaType == "text/plain") {
        auto text = textOfBody(body, type.charset);
        if (auto* error = std::get_if<ApiError>(&text)) return *error;
        request.data = std::move(std::get<std::string>(text));
        return request;
    }
    if (type.mediaType == "application/json") {
        if (!type.charset.empty() && type.charset != "utf-8")
            return apiError(Refusal::unsupportedMediaType, "charset=" + type.charset);
        return requestFromJson(body, std::move(request));
    }
    return apiError(Refusal::unsupportedMediaType,
                    type.mediaType.empty() ? std::string("no content type") : type.mediaType);
}

Answer<LabelFile> makeLabelFile(const LabelRequest& request, bool verifyByDefault, long maxPixels) {
    Settings settings;
    settings.verify = verifyByDefault;
    LabelFile file;
    std::set<std::string_view> given;
    for (const QueryParameter& option : request.options) {
        if (!given.insert(option.name).second)
            return apiError(Refusal::repeatedParameter, option.name);
        if (option.name == "force") return apiError(Refusal::notServed, option.name);
        if (auto error = applySetting(settings, option.name, option.value)) {
            // Named as sent: zpl-native and escpos-native set one field.
            ApiError refused = apiError(*error);
            refused.field = option.name;
            return refused;
        }
        if (option.name == "timestamp" && option.value == "now") file.immutable = false;
    }
    // PNG unless asked otherwise, set before the check so that the printer's
    // own command on a picture is refused, not dropped.
    const Format format = settings.write.format.value_or(Format::png);
    settings.write.format = format;
    if (auto error = checkSettings(settings)) return apiError(*error);
    // Read back here, once the picture's size is known to be within bounds.
    const bool verify = settings.verify;
    settings.verify = false;

    const auto bytes =
        std::span(reinterpret_cast<const std::uint8_t*>(request.data.data()), request.data.size());
    ProfileRequest profile{request.profile, request.fields, {}, {}, false};
    for (const QueryParameter& option : request.options) {
        // The character set is a choice within the scheme, not a setting
        // over it, as on the command line.
        if (option.name == "charset")
            profile.charset = settings.options.charset;
        else
            profile.given.push_back(option.name);
    }
    const Result<Label> label = !request.profile.empty() ? makeProfileLabel(profile, settings)
                                : request.text ? makeLabel(std::string_view(request.data), settings)
                                               : makeLabel(bytes, settings);
    if (!label) return apiError(label.error());
    if (label->symbols.size() != 1)
        return apiError(Refusal::tooManySymbols, "data", static_cast<long>(label->symbols.size()),
                        1);
    const Symbol& symbol = label->symbols.front();
    // Every answer is held until the client has read it, so one request
    // must not make the service hold hundreds of megabytes.
    const PictureSize size = pictureSize(symbol, label->render);
    if (size.width > maxPixels / std::max(size.height, 1L))
        return apiError(Refusal::pictureTooLarge, {}, size.width * size.height, maxPixels);
    // The file sent is the file verified, unless verify=false.
    auto rendered = verify ? renderVerified(symbol, format, label->render)
                           : render(symbol, format, label->render);
    if (!rendered) return readBackRefusal(rendered.error(), *label, given);
    file.bytes = std::move(rendered).value();
    file.mediaType = formatInfo(format).mediaType;
    file.entityTag = entityTag(file.bytes);
    file.rows = symbol.rows();
    file.columns = symbol.columns();
    file.level = symbol.level();
    for (const Warning& warning : label->warnings)
        file.warnings += (file.warnings.empty() ? "" : ", ") + warning.id;
    return file;
}

}  // namespace barquill::service
