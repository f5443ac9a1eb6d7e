// Fuzz target for Parcelor's command line and entry filters. readCommandLine
// is checked against what its grammar promises for an accepted line (method
// letter, package path behind '!', '/' made '\' in the three paths, the
// filter texts as given); each filter text is parsed and the filter list is
// matched against entry names taken from the input and from the filters
// themselves, and the result compared with a model of the matching rule
// (first filter in list order; '/' and '\' alike; ASCII case ignored; a
// prefix filter matches a longer name, a whole-name filter only its length).
//
// Input: zero bytes separate the arguments; a lone "--" argument after the
// method ends them, and what follows are the entry names to match.

#include "fuzz_checks.h"

#include "command_line.h"
#include "entry_filters.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

char folded(char c)
{
    if (c == '/')
        return '\\';
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string slashes_made_backslashes(std::string text)
{
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

struct model_filter {
    std::string str;
    bool extract = true;
    bool prefix = false;
};

model_filter model_parse(const std::string& text)
{
    model_filter filter;
    std::string rest = text;
    const std::string suffix = ":NOEXTRACT";
    if (rest.size() >= suffix.size() && rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) == 0) {
        filter.extract = false;
        rest.resize(rest.size() - suffix.size());
    }
    if (!rest.empty() && rest.back() == '*') {
        filter.prefix = true;
        rest.pop_back();
    }
    filter.str = slashes_made_backslashes(rest);
    return filter;
}

bool model_matches(const model_filter& filter, const std::string& name)
{
    if (filter.prefix ? name.size() < filter.str.size() : name.size() != filter.str.size())
        return false;
    for (std::size_t i = 0; i < filter.str.size(); ++i)
        if (folded(name[i]) != folded(filter.str[i]))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // match prints a line for every hit; the fuzzer needs no such output.
    std::freopen("/dev/null", "w", stdout);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments{"Parcelor", ""};
    std::vector<std::string> names;
    bool in_names = false;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0) {
            (in_names ? names.back() : arguments.back()) += static_cast<char>(data[i]);
            continue;
        }
        if (!in_names && arguments.size() > 2 && arguments.back() == "--") {
            arguments.pop_back();
            in_names = true;
        }
        (in_names ? names : arguments).emplace_back();
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);

    const auto command = readCommandLine(static_cast<int>(arguments.size()), argv.data());
    if (command) {
        const std::string& method = arguments[1];
        require(method.size() >= 3 && method[1] == '!', "an accepted line has <method>!<package>");
        require(command->method == method[0], "the method letter is the first character");
        require(std::string("arde").find(command->method) != std::string::npos,
                "the method is a, r, d or e");
        require(command->packagePath == slashes_made_backslashes(method.substr(2)), "the package path");
        for (const auto* folder : {&command->workingFolder, &command->outputFolder})
            require(!*folder || (*folder)->find('/') == std::string::npos, "folders use backslashes");
        for (const std::string& text : command->filterTexts)
            require(text != "-w" && text != "-o" && text != "-f", "an option is never a filter text");
    }

    // The filters: every argument after the method is used as a filter text,
    // so texts that the command line would reject are parsed as well.
    std::vector<std::string> texts(arguments.begin() + 2, arguments.end());
    if (command)
        texts = command->filterTexts;
    const FilterList filters(texts);
    std::vector<model_filter> model;
    for (const std::string& text : texts) {
        model.push_back(model_parse(text));
        if (!text.empty())
            names.push_back(text);
    }
    require(filters.count() == static_cast<int>(texts.size()), "one filter per text");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Filter& filter = filters.filters()[i];
        if (texts[i].empty()) {
            require(filter.str.empty() && filter.isExtract && !filter.isWildCard, "an empty text gives the default");
            continue;
        }
        require(filter.str == model[i].str && filter.isExtract == model[i].extract &&
                    filter.isWildCard == model[i].prefix,
                "a filter text is parsed by its rule");
    }

    for (const std::string& name : names) {
        Filter found;
        found.str = "untouched";
        const bool matched = filters.match(name.c_str(), found);
        const std::string folded_name = slashes_made_backslashes(name);
        std::size_t first = model.size();
        for (std::size_t i = 0; i < model.size() && first == model.size(); ++i)
            if (model_matches(model[i], folded_name))
                first = i;
        require(matched == (first != model.size()), "a name matches when some filter matches it");
        if (matched) {
            require(found.str == model[first].str && found.isExtract == model[first].extract &&
                        found.isWildCard == model[first].prefix,
                    "the first matching filter is reported");
        } else {
            require(found.str == "untouched", "no match leaves the result alone");
        }
    }
    return 0;
}
