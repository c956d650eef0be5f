// SPDX-License-Identifier: MIT
#include "cli/arguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <memory>
#include <thread>

#include "barquill/barquill.hpp"
#include "cli/batch_input.h"
#include "cli/exit_status.h"
#include "cli/messages.h"

namespace barquill::cli {

namespace {

// How the options combine, after the format list in the help's footer.
constexpr const char* NOTES =
    R"(--xdim needs --dpi; --dpi alone only records the resolution. In a batch, -o
names the files with a counter (labels/%05d.png); with --names a line may name
its own file after a tab, inside the folder of -o.)";

constexpr const char* EXIT_STATUS =
    R"(0 written; 1 usage error (nothing written); 2 the data cannot be
encoded (in a batch: any item); 3 an output could not be written; 4 a file
did not verify (it did not read back as asked) and was not written, or the
reader cannot be loaded (nothing written).)";

constexpr const char* EXAMPLES[] = {
    R"(barquill -o hello.png "Hello, World!")",
    R"(barquill --xdim 0.25 --dpi 300 -o label.png "LOT 4711")",
    R"(barquill --escapes -o card.svg 'IDUSA\x1e0123456789\x1dDOE<<JOHN')",
    R"(printf 'one\ntwo\n' | barquill --batch - -o labels/%05d.png)",
    R"(barquill -o - --format svg < ticket.txt > ticket.svg)",
    R"(barquill serve --listen 127.0.0.1:8417)",
};

// The ways the tool is called: one symbol, a batch, and the service, which
// is a program of its own that `barquill serve` starts.
const std::vector<UsageForm>& usageForms() {
    static const std::vector<UsageForm> forms{
        {"[OPTIONS] [TEXT]", "One symbol of TEXT, of the file given with -i, or of standard input"},
        {"[OPTIONS] --batch FILE -o PATTERN",
         "One symbol per line of FILE (- for standard input), named by PATTERN"},
        {"serve [SERVICE OPTIONS]",
         "The HTTP service (barquill-serve); barquill serve --help lists its options"},
    };
    return forms;
}

// Every way of calling the tool in the usage, each with what it does.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string name) const override {
        std::string text;
        for (const UsageForm& form : usageForms())
            text += (text.empty() ? "Usage: " : "       ") + name + " " + form.arguments +
                    "\n         " + form.meaning + "\n";
        return text;
    }
};

// Worker threads beyond this many per core only cost memory.
constexpr int JOBS_PER_CORE = 4;

// The one-letter spellings the tool has always had.
const std::map<std::string_view, std::string_view> shortNames{
    {"level", "-l"}, {"columns", "-c"}, {"margin", "-m"}, {"force", "-f"}};

// "png|gif|..." from the library's list of formats.
std::string formatNames(const char* separator) {
    std::string names;
    for (const FormatInfo& info : formats())
        names += (names.empty() ? "" : separator) + std::string(info.name);
    return names;
}

// "a, b or c".
std::string listed(const std::vector<std::string>& items, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? last : ", ") + items[i];
    return text;
}

std::string upper(std::string_view name) {
    std::string text(name);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The pictures and printer commands of the library's list of formats.
std::string description() {
    std::vector<std::string> pictures, printers;
    for (const FormatInfo& info : formats())
        (info.printer ? printers : pictures)
            .push_back(info.printer ? std::string(info.caption) : upper(info.name));
    return "Makes a PDF417 barcode of TEXT, of the file given with -i, or of standard input\n"
           "(byte for byte), and writes it as " +
           listed(pictures, " or ") + ",\nor as commands for " + listed(printers, " and ") +
           " printers.\n";
}

// The extensions a name chooses a format by, and the one other names get.
std::string formatNote() {
    std::vector<std::string> extensions;
    for (const FormatInfo& info : formats()) extensions.emplace_back(info.extension);
    return "The format follows the output's extension\n(" + listed(extensions, ", ") +
           "), anything else " + upper(formatInfo(formatFromName("")).name) + ".";
}

std::string footer() {
    std::string text =
        "\n" + formatNote() + "\n" + NOTES + "\n\nExit status: " + EXIT_STATUS + "\n\nExamples:\n";
    for (const char* example : EXAMPLES) text += std::string("  ") + example + "\n";
    return text;
}

// A number's help line with the setting's range, unless the line gives it;
// a length is above its minimum, never at it.
std::string settingHelp(const SettingInfo& setting) {
    std::string help(setting.help);
    const std::string least = std::to_string(setting.minimum);
    const std::string most = std::to_string(setting.maximum);
    const std::string range = setting.kind == SettingKind::number ? least + " to " + most
                              : setting.kind == SettingKind::decimal && setting.maximum > 0
                                  ? "above " + least + ", at most " + most
                                  : "";
    if (!range.empty() && help.find(range) == std::string::npos) help += "; " + range;
    return help;
}

std::string profileNames() {
    std::vector<std::string> names;
    for (const ProfileInfo& p : availableProfiles()) names.push_back(p.name);
    return listed(names, ", ");
}

ParseResult usageError(const std::string& message) {
    ParseResult result;
    result.exitStatus = EXIT_USAGE;
    result.text = "barquill: " + message + "\nTry 'barquill --help' for more information.\n";
    return result;
}

// What the command line holds before it is checked.
struct Values {
    std::map<std::string, std::string, std::less<>> settings;  // by setting name
    std::map<std::string, CLI::Option*, std::less<>> given;
    std::string text, batch, jobs, explain, fieldsFile;
    std::vector<std::string> fields;
    bool version = false, verify = false, noVerify = false, helpFields = false;
    CLI::Option *textOption = nullptr, *inputOption = nullptr, *outputOption = nullptr,
                *batchOption = nullptr, *batchNulOption = nullptr, *namesOption = nullptr,
                *jobsOption = nullptr, *verifyOption = nullptr, *noVerifyOption = nullptr;
};

// Every setting of the library's table, spelt as the table names it.
void addSettingOptions(CLI::App& app, Values& values) {
    for (const SettingInfo& setting : settingTable()) {
        if (setting.name == "verify") continue;  // with --no-verify, below
        std::string names = "--" + std::string(setting.name);
        if (const auto brief = shortNames.find(setting.name); brief != shortNames.end())
            names = std::string(brief->second) + "," + names;
        std::string& value = values.settings[std::string(setting.name)];
        CLI::Option* option = setting.kind == SettingKind::flag
                                  ? app.add_flag(names)->description(settingHelp(setting))
                                  : app.add_option(names, value, settingHelp(setting))
                                        ->type_name(std::string(setting.valueName));
        if (!setting.defaultText.empty() && setting.kind != SettingKind::flag)
            option->default_str(std::string(setting.defaultText));
        option->group(std::string(setting.group));
        values.given[std::string(setting.name)] = option;
    }
}

void addToolOptions(CLI::App& app, Request& request, Values& values) {
    values.textOption = app.add_option("TEXT", values.text,
                                       "Data to encode (put -- before a TEXT that starts with -)")
                            ->type_name("");
    values.inputOption =
        app.add_option("-i,--input", request.inputPath, "Read the data from FILE, byte for byte")
            ->type_name("FILE")
            ->group("Data");
    values.outputOption =
        app.add_option("-o,--output", request.outputPath, "Output file; - for standard output")
            ->type_name("FILE")
            ->group("Output");
    values.verifyOption =
        app.add_flag("--verify", values.verify,
                     "Verify every file before writing it: read back from its own bytes and "
                     "by the reader; a mismatch writes nothing (status 4). The default")
            ->group("Output");
    values.noVerifyOption =
        app.add_flag("--no-verify", values.noVerify, "Write files without verifying them")
            ->group("Output");
    values.batchOption =
        app.add_option("--batch", values.batch, "One item per line of FILE (- for standard input)")
            ->type_name("FILE")
            ->group("Batch");
    values.batchNulOption =
        app.add_flag("--batch-nul", request.batchNul, "Items are separated by NUL bytes")
            ->group("Batch");
    values.namesOption = app.add_flag("--names", request.batchNames,
                                      "Lines are TEXT<TAB>NAME, NAME inside -o's folder")
                             ->group("Batch");
    values.jobsOption = app.add_option("-j,--jobs", values.jobs,
                                       "Worker threads, 1 to " + std::to_string(JOBS_PER_CORE) +
                                           " per core (one per core)")
                            ->type_name("N")
                            ->group("Batch");
    app.add_flag("-v,--verbose", request.verbose, "Tell what was built, on standard error");
    app.add_flag("-q,--quiet", request.quiet, "No warnings");
    app.add_flag("--strict", request.strict,
                 "Make any warning an error: nothing is written (status 2)");
    app.add_flag("--explain{text}", values.explain,
                 "Print how the data became the symbol (--explain=json for tools); write nothing");
    const char* profileGroup = "Application profile";
    app.add_option(
           "--profile", request.profile,
           "A scheme's symbol built from fields (" + profileNames() + "); list: the profiles")
        ->type_name("NAME")
        ->group(profileGroup);
    app.add_option("--field", values.fields,
                   "A field of the profile (repeat; DL.DCS=SMITH; data=@FILE)")
        ->type_name("KEY=VALUE")
        ->group(profileGroup);
    app.add_option("--fields", values.fieldsFile, "The fields as one JSON object")
        ->type_name("FILE.json")
        ->group(profileGroup);
    app.add_flag("--help-fields", values.helpFields, "Print the profile's fields with their rules")
        ->group(profileGroup);
    app.add_flag("--profile-relaxed", request.profileRelaxed,
                 "Warn instead of refusing a setting that breaks the profile's scheme")
        ->group(profileGroup);
    app.add_option("--explain-data", request.explainData,
                   "Show what a profile's data file holds (aamva)")
        ->type_name("FILE")
        ->group(profileGroup);
    app.add_flag("--version", values.version, "Print the version and exit");
}

// An empty value is a mistake (an unset shell variable), never a default; a
// value glued on with '=' and left empty must not take the next argument.
std::optional<std::string> emptyValue(const std::vector<std::string>& args, const CLI::App& app) {
    for (std::size_t i = 1; i < args.size() && args[i] != "--"; ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-' && arg.back() == '=')
            return arg.substr(0, arg.size() - 1) + " needs a value, not an empty one";
    }
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_positional() || option->get_expected_min() == 0) continue;
        for (const std::string& value : option->results())
            if (value.empty()) return option->get_name() + " needs a value, not an empty one";
    }
    return std::nullopt;
}

// The settings as given, in the table's order; their names are kept, for
// a profile to tell the user's choices from its own.
std::optional<std::string> applySettings(const Values& values, Request& request) {
    for (const SettingInfo& setting : settingTable()) {
        const auto option = values.given.find(setting.name);
        if (option == values.given.end() || option->second->count() == 0) continue;
        const std::string value = setting.kind == SettingKind::flag
                                      ? "true"
                                      : values.settings.at(std::string(setting.name));
        if (auto error = applySetting(request.settings, setting.name, value))
            return usageText(*error);
        request.given.emplace_back(setting.name);
    }
    if (auto error = checkSettings(request.settings)) return usageText(*error);
    return std::nullopt;
}

// --profile list, --help-fields, and the fields: the file first, then each
// --field, so that one given by itself wins over the file's.
std::optional<ParseResult> resolveProfile(const Values& values, Request& request) {
    if (request.profile.empty()) {
        if (!values.fields.empty() || !values.fieldsFile.empty() || values.helpFields ||
            request.profileRelaxed || !request.explainData.empty())
            return usageError(
                "--field, --fields, --help-fields, --profile-relaxed and --explain-data belong "
                "to --profile");
        return std::nullopt;
    }
    ParseResult shown;
    if (request.profile == "list") {
        shown.text = profileListText();
        return shown;
    }
    if (!findProfile(request.profile))
        return usageError("--profile \"" + request.profile +
                          "\" is not known; give list, or one of " + profileNames());
    if (values.helpFields) {
        shown.text = profileHelpText(request.profile);
        return shown;
    }
    if (!values.fieldsFile.empty())
        request.fieldArguments.emplace_back("--fields", values.fieldsFile);
    for (const std::string& field : values.fields) {
        if (field.find('=') == std::string::npos || field.front() == '=')
            return usageError("--field takes KEY=VALUE, not \"" + field + "\"");
        request.fieldArguments.emplace_back("--field", field);
    }
    if (values.textOption->count() || values.inputOption->count())
        return usageError("a profile builds the data from its fields; give no TEXT or -i");
    return std::nullopt;
}

std::optional<std::string> resolveVerify(const Values& values, Request& request) {
    if (values.verifyOption->count() && values.noVerifyOption->count())
        return "give --verify or --no-verify, not both";
    // Every file is checked where it is made, one symbol or a batch, unless
    // told not to; the symbols are not read back a second time before that.
    // Whether the reader can serve is asked once the rest of the line is sound.
    request.settings.verify = false;
    request.verify = values.noVerifyOption->count() ? Verification::off : Verification::on;
    return std::nullopt;
}

// Verification, on unless --no-verify is given, is never dropped because
// the reader cannot serve: nothing is written, and the message says which
// module and why.
std::optional<ParseResult> refuseUnverifiable(const Values& values, const Request& request) {
    if (request.verify != Verification::on) return std::nullopt;
    const std::optional<Error> problem = readerProblem();
    if (!problem) return std::nullopt;
    ParseResult result;
    result.exitStatus = EXIT_NOT_VERIFIED;
    result.text = "barquill: error: " +
                  (values.verifyOption->count()
                       ? "--verify: " + problem->message
                       : problem->message + "; give --no-verify to write without reading back") +
                  "\n";
    return result;
}

// The printer's own command is written only into a ZPL or ESC/POS file;
// the library says so once it knows the format the output's name gives.
std::optional<std::string> refuseNativePicture(const Request& request) {
    Settings asked = request.settings;
    if (!asked.write.format && !request.outputPath.empty() && request.outputPath != "-")
        asked.write.format = formatFromName(request.outputPath);
    const std::optional<Error> error = checkSettings(asked);
    if (error && error->field == "printerEncodes") return usageText(*error);
    return std::nullopt;
}

// The printer encodes the data of its own command itself: --verify, which
// asks for what is written to be read back, cannot be kept, so nothing is
// written rather than a file passed as verified.
std::optional<ParseResult> refuseNativeVerify(const Values& values, const Request& request) {
    if (!values.verifyOption->count() || !request.settings.printerEncodes) return std::nullopt;
    ParseResult result;
    result.exitStatus = EXIT_NOT_VERIFIED;
    result.text =
        "barquill: error: --verify: with --zpl-native or --escpos-native the printer encodes "
        "the data itself, so what it prints cannot be read back; leave out --verify to write "
        "the command with only the symbol proven, or leave out the native option to verify "
        "the picture\n";
    return result;
}

std::optional<std::string> resolveBatch(const Values& values, Request& request) {
    request.batchPath = values.batch;
    if (request.batchNul && request.batchNames)
        return "--names takes tab-separated lines; --batch-nul items have no names";
    if (values.textOption->count() || values.inputOption->count())
        return "--batch reads its data from the list; give no TEXT or -i";
    if (!values.outputOption->count() && !request.batchNames)
        return "a batch needs -o with a counter such as labels/%05d.png, or --names and a name "
               "after a tab on each line";
    if (values.outputOption->count()) {
        if (request.outputPath == "-") return "a batch writes files; -o - is for a single symbol";
        auto pattern = NamePattern::parse(request.outputPath);
        if (!pattern)
            return "in a batch the output name needs exactly one counter such as %05d (\"" +
                   request.outputPath + "\")";
    }
    if (request.settings.fit)
        return "--fit sizes one symbol to its label; in a batch give --xdim and --dpi";
    if (request.settings.split && request.profile.empty())
        return "--macro and --segments make a series of one data, not a batch";
    if (!request.profile.empty() && (request.batchNul || request.batchNames))
        return "a profile's batch is JSON Lines: one object of fields per line, named by -o";
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int maxJobs = JOBS_PER_CORE * cores;
    if (values.jobsOption->count()) {
        const std::string& jobs = values.jobs;
        const bool digits = !jobs.empty() && jobs.size() <= 9 &&
                            jobs.find_first_not_of("0123456789") == std::string::npos;
        const long count = digits ? std::stol(jobs) : 0;
        if (count < 1 || count > maxJobs)
            return "--jobs must be a whole number from 1 to " + std::to_string(maxJobs) + " (" +
                   std::to_string(JOBS_PER_CORE) + " per core), not \"" + jobs + "\"";
        request.jobs = static_cast<int>(count);
    }
    return std::nullopt;
}

std::optional<std::string> resolveSingle(const Values& values, Request& request, bool writes) {
    if (values.batchNulOption->count() || values.jobsOption->count() || values.namesOption->count())
        return "--batch-nul, --names and --jobs belong to --batch";
    if (values.textOption->count() && values.inputOption->count())
        return "give the data as TEXT or with -i, not both";
    if (values.textOption->count()) request.text = values.text;
    if (!writes) return std::nullopt;
    if (!values.outputOption->count())
        return "no output file: give -o FILE (- for standard output)";
    if (request.outputPath == "-" && !request.settings.write.format)
        return "-o - writes to standard output and needs --format " + formatNames("|");
    if (request.outputPath == "-" && request.settings.split)
        return "a Macro series writes several files; -o - is for one symbol";
    return std::nullopt;
}

// The options and the help's text: what parses the command line is what
// the help, the manual page and the completion describe.
void describe(CLI::App& app, Request& request, Values& values) {
    app.footer(footer());
    auto formatter = std::make_shared<UsageFormatter>();
    formatter->column_width(30);
    app.formatter(formatter);
    addToolOptions(app, request, values);
    addSettingOptions(app, values);
}

// The setting an option sets, by the option's long name.
const SettingInfo* settingOf(const CLI::Option& option) {
    for (const std::string& name : option.get_lnames())
        if (const SettingInfo* setting = findSetting(name)) return setting;
    return nullptr;
}

}  // namespace

HelpPage helpPage() {
    CLI::App app(description(), "barquill");
    Request request;
    Values values;
    describe(app, request, values);
    HelpPage page;
    page.description = description();
    page.usage = usageForms();
    page.notes = formatNote() + "\n" + NOTES;
    page.exitStatus = EXIT_STATUS;
    page.examples.assign(std::begin(EXAMPLES), std::end(EXAMPLES));
    // By group, the groups in the order they first appear, as --help has them.
    std::vector<std::string> groups;
    const auto options = app.get_options([](const CLI::Option* o) { return o->nonpositional(); });
    for (const CLI::Option* option : options)
        if (std::find(groups.begin(), groups.end(), option->get_group()) == groups.end())
            groups.push_back(option->get_group());
    for (const std::string& group : groups) {
        for (const CLI::Option* option : options) {
            if (option->get_group() != group) continue;
            OptionHelp help;
            for (const std::string& name : option->get_snames()) help.names.push_back("-" + name);
            for (const std::string& name : option->get_lnames()) help.names.push_back("--" + name);
            help.valueName = option->get_type_name();
            help.help = option->get_description();
            help.group = group;
            help.defaultText = option->get_default_str();
            if (const SettingInfo* setting = settingOf(*option)) {
                help.setting = setting->name;
                help.values = setting->values;
            }
            page.options.push_back(std::move(help));
        }
    }
    return page;
}

ParseResult parseArguments(const std::vector<std::string>& args) {
    CLI::App app(description(), "barquill");
    Request request;
    Values values;
    describe(app, request, values);

    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        ParseResult result;
        result.text = app.help();
        return result;
    } catch (const CLI::ParseError& error) {
        return usageError(error.what());
    }
    if (values.version) {
        ParseResult result;
        result.text = std::string("barquill ") + version() + "\n";
        return result;
    }
    if (auto empty = emptyValue(args, app)) return usageError(*empty);
    if (auto error = applySettings(values, request)) return usageError(*error);
    if (auto error = resolveVerify(values, request)) return usageError(*error);
    if (auto shown = resolveProfile(values, request)) return *shown;
    if (!values.explain.empty()) {
        if (values.explain != "text" && values.explain != "json")
            return usageError("--explain takes text or json, not \"" + values.explain + "\"");
        request.explain = values.explain;
    }
    // What only shows something writes no file.
    const bool writes = !request.explain && request.explainData.empty();
    if (!writes && values.batchOption->count())
        return usageError("--explain and --explain-data show one symbol's data, not a batch");
    auto error = values.batchOption->count() ? resolveBatch(values, request)
                                             : resolveSingle(values, request, writes);
    if (error) return usageError(*error);
    if (auto native = refuseNativePicture(request)) return usageError(*native);
    if (auto refused = refuseNativeVerify(values, request)) return *refused;
    if (auto refused = refuseUnverifiable(values, request)) return *refused;

    ParseResult result;
    result.run = true;
    result.request = std::move(request);
    return result;
}

}  // namespace barquill::cli
