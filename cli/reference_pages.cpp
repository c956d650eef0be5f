// SPDX-License-Identifier: MIT
#include "cli/reference_pages.h"

#include <cctype>

#include "barquill/barquill.hpp"

namespace barquill::cli {

namespace {

// Text as man(7) shows it literally: backslashes and hyphens escaped, and
// no line taken for a request because it starts with a dot or a quote.
std::string roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string join(const std::vector<std::string>& items, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "" : separator) + items[i];
    return text;
}

// "\fB\-o\fR, \fB\-\-output\fR \fIFILE\fR", as a .TP tag.
std::string optionTag(const OptionHelp& option) {
    std::vector<std::string> names;
    for (const std::string& name : option.names) names.push_back("\\fB" + roff(name) + "\\fR");
    std::string tag = join(names, ", ");
    if (!option.valueName.empty()) tag += " \\fI" + roff(option.valueName) + "\\fR";
    return tag;
}

std::string optionBody(const OptionHelp& option) {
    std::string body = roff(option.help);
    if (!body.empty() && body.back() != '.') body += '.';
    if (!option.valueName.empty() && !option.values.empty())
        body += "\nThe value must be " + roff(option.values) + ".";
    if (!option.defaultText.empty()) body += "\nDefault: " + roff(option.defaultText) + ".";
    return body;
}

std::string optionsSection(const HelpPage& page) {
    std::string text = ".SH OPTIONS\n";
    std::string group;
    for (const OptionHelp& option : page.options) {
        // The general options come first, under the section's own title.
        if (option.group != group && option.group != "Options")
            text += ".SS " + roff(option.group) + "\n";
        group = option.group;
        text += ".TP\n" + optionTag(option) + "\n" + optionBody(option) + "\n";
    }
    return text;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool hasName(const OptionHelp& option, std::string_view name) {
    for (const std::string& given : option.names)
        if (given == name) return true;
    return false;
}

// What to offer after an option that takes a value: a word list, names of
// files, or nothing (a number or free text).
std::string valueCompletion(const OptionHelp& option) {
    const auto words = [](const std::vector<std::string>& list) {
        return "COMPREPLY=($(compgen -W \"" + join(list, " ") + "\" -- \"$cur\"))";
    };
    if (hasName(option, "--output")) {
        std::vector<std::string> extensions;
        for (const FormatInfo& info : formats()) extensions.emplace_back(info.extension.substr(1));
        for (const FormatInfo& info : formats())
            extensions.push_back(upper(info.extension.substr(1)));
        return "COMPREPLY=($(compgen -f -X '!*.@(" + join(extensions, "|") +
               ")' -- \"$cur\") $(compgen -d -- \"$cur\"))";
    }
    if (hasName(option, "--profile")) {
        std::vector<std::string> names{"list"};
        for (const ProfileInfo& profile : availableProfiles()) names.push_back(profile.name);
        return words(names);
    }
    if (option.setting == "format") {
        std::vector<std::string> names;
        for (const FormatInfo& info : formats()) names.emplace_back(info.name);
        return words(names);
    }
    if (option.setting == "charset") {
        std::vector<std::string> names{std::string(rawBytes)};
        for (const CharsetInfo& charset : charsets()) names.emplace_back(charset.name);
        return words(names);
    }
    if (option.setting == "level") {
        std::vector<std::string> levels{"auto", "fill"};
        const SettingInfo* level = findSetting("level");
        for (long n = level->minimum; n <= level->maximum; ++n) levels.push_back(std::to_string(n));
        return words(levels);
    }
    if (option.setting == "compaction") return words({"auto", "byte"});
    if (option.valueName.rfind("FILE", 0) == 0) return "COMPREPLY=($(compgen -f -- \"$cur\"))";
    return "";
}

}  // namespace

std::string manPage(const HelpPage& page, std::string_view version) {
    std::string text = ".\\\" Made from the options of barquill --help; edits belong there.\n";
    text += ".TH BARQUILL 1 \"\" \"Barquill " + roff(version) + "\" \"User Commands\"\n";
    text += ".SH NAME\nbarquill \\- make PDF417 barcodes\n.SH SYNOPSIS\n";
    for (const UsageForm& form : page.usage)
        text += ".B barquill\n" + roff(form.arguments) + "\n.br\n";
    text += ".SH DESCRIPTION\n" + roff(page.description) + ".PP\n";
    for (const UsageForm& form : page.usage)
        text += ".TP\n\\fBbarquill " + roff(form.arguments) + "\\fR\n" + roff(form.meaning) + ".\n";
    text += ".PP\n" + roff(page.notes) + "\n";
    text += optionsSection(page);
    text += ".SH EXIT STATUS\n" + roff(page.exitStatus) + "\n";
    text += ".SH EXAMPLES\n.nf\n";
    for (const std::string& example : page.examples) text += roff(example) + "\n";
    text +=
        ".fi\n.SH SEE ALSO\n"
        "\\fBbarquill serve \\-\\-help\\fR for the HTTP service;\n"
        ".B barquill\\-gui\n"
        "for the desktop application; the C and C++ library is described in\n"
        ".IR barquill/barquill.hpp \" and \" barquill/barquill.h .\n";
    return text;
}

std::string bashCompletion(const HelpPage& page) {
    std::string text =
        "# bash completion for barquill, made from the options of barquill --help\n"
        "_barquill() {\n"
        "    local cur prev\n"
        "    cur=\"${COMP_WORDS[COMP_CWORD]}\"\n"
        "    prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
        "    # The service has options of its own: barquill serve --help.\n"
        "    if [[ $COMP_CWORD -eq 1 && \"$cur\" != -* ]]; then\n"
        "        COMPREPLY=($(compgen -W \"serve\" -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    [[ \"${COMP_WORDS[1]}\" == serve ]] && return\n"
        "    case \"$prev\" in\n";
    std::vector<std::string> names, free;  // free: a value with nothing to offer
    for (const OptionHelp& option : page.options) {
        names.insert(names.end(), option.names.begin(), option.names.end());
        if (option.valueName.empty()) continue;
        const std::string reply = valueCompletion(option);
        if (reply.empty()) {
            free.insert(free.end(), option.names.begin(), option.names.end());
            continue;
        }
        text += "        " + join(option.names, "|") + ")\n            " + reply +
                "\n            return ;;\n";
    }
    text += "        " + join(free, "|") + ")\n            return ;;\n";
    text +=
        "    esac\n"
        "    if [[ \"$cur\" == -* ]]; then\n"
        "        COMPREPLY=($(compgen -W \"" +
        join(names, " ") +
        "\" -- \"$cur\"))\n"
        "    fi\n"
        "}\n"
        "complete -F _barquill barquill\n";
    return text;
}

}  // namespace barquill::cli
