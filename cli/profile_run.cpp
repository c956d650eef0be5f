// SPDX-License-Identifier: MIT
#include "cli/profile_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/exit_status.h"
#include "cli/messages.h"

namespace barquill::cli {

namespace {

// A file read whole, or the reason it was not, taken before another call
// can change errno.
struct FileRead {
    std::string bytes;
    std::string failure;  // empty when read
};

FileRead readFile(const std::string& path) {
    FileRead read;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        read.failure = std::strerror(errno);
        return read;
    }
    bool truncated = false;
    const bool ok = readStream(file, MAX_DATA_BYTES, &read.bytes, &truncated);
    if (!ok)
        read.failure = std::strerror(errno);
    else if (truncated)
        read.failure =
            "more than the " + std::to_string(MAX_DATA_BYTES) + " bytes a file given here may hold";
    std::fclose(file);
    return read;
}

Error readError(const std::string& path, const FileRead& read) {
    Error error;
    error.code = ErrorCode::invalidOption;
    error.field = "fields";
    error.path = path;
    error.message = "cannot read " + path + ": " + read.failure;
    return error;
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
            const FileRead json = readFile(argument);
            if (!json.failure.empty()) return readError(argument, json);
            auto fields = parseFieldsJson(json.bytes);
            if (!fields) return fields.error();
            profile.fields.insert(profile.fields.end(), fields->begin(), fields->end());
            continue;
        }
        const std::size_t equals = argument.find('=');
        std::string value = argument.substr(equals + 1);
        // data=@FILE: a document field read whole, byte for byte.
        if (value.size() > 1 && value.front() == '@') {
            const FileRead read = readFile(value.substr(1));
            if (!read.failure.empty()) return readError(value.substr(1), read);
            value = read.bytes;
        }
        profile.fields.emplace_back(argument.substr(0, equals), std::move(value));
    }
    profile.fields.insert(profile.fields.end(), lineFields.begin(), lineFields.end());
    return profile;
}

int runProfile(const Request& request, const Console& console) {
    if (!request.explainData.empty()) {
        const FileRead data = readFile(request.explainData);
        if (!data.failure.empty()) {
            std::fprintf(console.err, "barquill: cannot read %s: %s\n", request.explainData.c_str(),
                         data.failure.c_str());
            return EXIT_USAGE;
        }
        const auto explained = explainAamvaData(data.bytes);
        if (!explained) return fail(console, explained.error(), data.bytes.size());
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
