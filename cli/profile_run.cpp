// SPDX-License-Identifier: MIT
#include "cli/profile_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/exit_status.h"
#include "cli/messages.h"

namespace barquill::cli {

namespace {

Error readError(const std::string& path) {
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = "fields";
    error.path = path;
    error.message = "cannot read " + path + ": " + std::strerror(errno);
    return error;
}

std::optional<std::string> readFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    bool truncated = false;
    const bool ok = readStream(file, MAX_DATA_BYTES, &bytes, &truncated);
    std::fclose(file);
    if (!ok || truncated) return std::nullopt;
    return bytes;
}

}  // namespace

Result<ProfileRequest> profileRequest(const Request& request, const Fields& lineFields) {
    ProfileRequest profile;
    profile.profile = request.profile;
    profile.relaxed = request.profileRelaxed;
    profile.given = request.given;
    // The character set is a choice within the scheme, not a setting over it.
    if (const auto charset = std::find(profile.given.begin(), profile.given.end(), "charset");
        charset != profile.given.end()) {
        profile.charset = request.settings.options.charset;
        profile.given.erase(charset);
    }
    for (const auto& [option, argument] : request.fieldArguments) {
        if (option == "--fields") {
            const auto json = readFile(argument);
            if (!json) return readError(argument);
            auto fields = parseFieldsJson(*json);
            if (!fields) return fields.error();
            profile.fields.insert(profile.fields.end(), fields->begin(), fields->end());
            continue;
        }
        const std::size_t equals = argument.find('=');
        std::string value = argument.substr(equals + 1);
        // data=@FILE: a document field read whole, byte for byte.
        if (value.size() > 1 && value.front() == '@') {
            const auto bytes = readFile(value.substr(1));
            if (!bytes) return readError(value.substr(1));
            value = *bytes;
        }
        profile.fields.emplace_back(argument.substr(0, equals), std::move(value));
    }
    profile.fields.insert(profile.fields.end(), lineFields.begin(), lineFields.end());
    return profile;
}

int runProfile(const Request& request, const Console& console) {
    if (!request.explainData.empty()) {
        const auto data = readFile(request.explainData);
        if (!data) {
            std::fprintf(console.err, "barquill: cannot read %s: %s\n", request.explainData.c_str(),
                         std::strerror(errno));
            return EXIT_USAGE;
        }
        const auto explained = explainAamvaData(*data);
        if (!explained) return fail(console, explained.error(), data->size());
        std::fputs(explained->c_str(), console.out);
        return EXIT_WRITTEN;
    }
    const auto profile = profileRequest(request);
    if (!profile) return fail(console, profile.error(), 0);
    if (request.explain) {
        const auto made = buildProfile(*profile, request.settings);
        if (!made) return fail(console, made.error(), 0);
        Request shown = request;
        shown.settings = made->settings;
        shown.text.reset();
        return runExplain(shown, console, made->data);
    }
    const auto label = makeProfileLabel(*profile, request.settings);
    if (!label) return fail(console, label.error(), 0, request.outputPath);
    return writeLabel(*label, request, console, 0);
}

}  // namespace barquill::cli
