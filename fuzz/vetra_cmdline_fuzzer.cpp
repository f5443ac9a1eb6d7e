// Fuzz target for vetra::cmdline_parser: declarations and a command line from
// the input, then the parse and every query compared with a small model that
// follows the parser's rules by plain linear search.
//
// Input: lines (split at '\n', one character per byte). Leading lines that
// start with '+' (takes a value) or '!' (a switch) declare an option: the long
// name, then after the first blank the short name (possibly empty). Without
// such lines a table like the builder's is declared. The remaining lines are
// the words argv[1] onwards.

#include <vetra/cmdline_parser.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

// What a call did: returned normally (with a text), or raised one of the two
// command-line errors.
struct Outcome {
    enum Type { returned, runtime, logic } type = returned;
    int kind = -1;
    std::wstring text;  // the error's argument, or the returned value

    bool operator==(const Outcome& other) const
    {
        return type == other.type && kind == other.kind && text == other.text;
    }
};

Outcome outcomeOf(const std::function<std::wstring()>& call)
{
    try {
        return {Outcome::returned, -1, call()};
    } catch (const vetra::cmdline_runtime_error& e) {
        require(std::string(e.what()).empty(), "runtime error has no text");
        return {Outcome::runtime, e.kind, e.argument};
    } catch (const vetra::cmdline_logic_error& e) {
        require(std::string(e.what()).empty(), "logic error has no text");
        return {Outcome::logic, e.kind, e.argument};
    }
}

Outcome runtimeError(int kind, const std::wstring& argument) { return {Outcome::runtime, kind, argument}; }
Outcome logicError(int kind, const std::wstring& argument) { return {Outcome::logic, kind, argument}; }

struct Declaration {
    std::wstring longName;
    bool takesValue;
    std::wstring shortName;
};

// The parser's rules, with vectors and linear search.
class Model {
public:
    Outcome add(const Declaration& d)
    {
        for (const auto& o : options_)
            if (o.longName == d.longName)
                return logicError(vetra::duplicate_argument, d.longName);
        options_.push_back({d.longName, d.takesValue, L""});
        if (!d.shortName.empty()) {
            for (const auto& alias : aliases_)
                if (alias.first == d.shortName)
                    return logicError(vetra::duplicate_short_name, d.longName);
            aliases_.push_back({d.shortName, d.longName});
        }
        return {};
    }

    Outcome parse(const std::vector<std::wstring>& words)
    {
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Declaration* option = resolve(words[i]);
            if (!option)
                return runtimeError(vetra::unknown_argument, words[i]);
            std::wstring value;
            if (option->takesValue) {
                if (i + 1 >= words.size() || resolve(words[i + 1]))
                    return runtimeError(vetra::missing_parameter, words[i]);
                value = words[++i];
            }
            for (const auto& g : given_)
                if (g.first == option->longName)
                    return runtimeError(vetra::duplicate_argument, words[i - (option->takesValue ? 1 : 0)]);
            given_.push_back({option->longName, value});
        }
        return {};
    }

    Outcome has(const std::wstring& name) const
    {
        if (!resolve(name))
            return logicError(vetra::unknown_argument, name);
        return {Outcome::returned, -1, given(name) ? L"true" : L"false"};
    }

    Outcome get(const std::wstring& name) const
    {
        const Declaration* option = resolve(name);
        if (!option)
            return logicError(vetra::unknown_argument, name);
        if (!option->takesValue)
            return runtimeError(vetra::unexpected_parameter, name);
        const std::wstring* value = given(name);
        if (!value)
            return runtimeError(vetra::unknown_argument, name);
        return {Outcome::returned, -1, *value};
    }

    Outcome getOr(const std::wstring& name, const std::wstring& fallback) const
    {
        const Outcome present = has(name);
        if (present.type != Outcome::returned)
            return present;
        return present.text == L"true" ? get(name) : Outcome{Outcome::returned, -1, fallback};
    }

private:
    const Declaration* resolve(const std::wstring& word) const
    {
        std::wstring name = word;
        for (const auto& alias : aliases_)
            if (alias.first == word)
                name = alias.second;
        for (const auto& o : options_)
            if (o.longName == name)
                return &o;
        return nullptr;
    }

    const std::wstring* given(const std::wstring& longName) const
    {
        for (const auto& g : given_)
            if (g.first == longName)
                return &g.second;
        return nullptr;
    }

    std::vector<Declaration> options_;
    std::vector<std::pair<std::wstring, std::wstring>> aliases_;
    std::vector<std::pair<std::wstring, std::wstring>> given_;
};

// Options of the kinds the builder declares: with and without a short name,
// with and without a value.
const Declaration defaultOptions[] = {
    {L"--zip", true, L"-z"},  {L"--sfx", true, L"-s"},          {L"--help", false, L"-h"},
    {L"--cleanup", false, L""}, {L"--target-dir", true, L""},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else if (data[i] != 0)  // command-line words end at a zero
            lines.back() += static_cast<wchar_t>(data[i]);
    }

    std::vector<Declaration> declarations;
    std::size_t first = 0;
    for (; first < lines.size() && !lines[first].empty() && (lines[first][0] == L'+' || lines[first][0] == L'!');
         ++first) {
        const std::wstring& line = lines[first];
        const std::size_t blank = line.find(L' ');
        declarations.push_back({line.substr(1, blank == std::wstring::npos ? std::wstring::npos : blank - 1),
                                line[0] == L'+', blank == std::wstring::npos ? L"" : line.substr(blank + 1)});
    }
    if (declarations.empty())
        declarations.assign(std::begin(defaultOptions), std::end(defaultOptions));
    const std::vector<std::wstring> words(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end());

    vetra::cmdline_parser parser;
    Model model;
    for (const Declaration& d : declarations) {
        const Outcome actual = outcomeOf([&] {
            parser.add_option(d.longName, d.takesValue, d.shortName);
            return std::wstring();
        });
        require(actual == model.add(d), "add_option agrees with the model");
    }

    std::vector<const wchar_t*> argv{L"program.exe"};
    for (const std::wstring& word : words)
        argv.push_back(word.c_str());
    argv.push_back(nullptr);
    const Outcome parsed = outcomeOf([&] {
        parser.parse(static_cast<int>(argv.size() - 1), argv.data());
        return std::wstring();
    });
    require(parsed == model.parse(words), "parse agrees with the model");
    require(parsed.type != Outcome::logic, "parse raises only runtime errors");

    // Each distinct name once; a bounded number keeps long inputs fast.
    std::set<std::wstring> names(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(words.size(), 16)));
    for (const Declaration& d : declarations) {
        names.insert(d.longName);
        names.insert(d.shortName);
    }
    names.insert(L"--not-declared");
    for (const std::wstring& name : names) {
        require(outcomeOf([&] { return std::wstring(parser.has(name) ? L"true" : L"false"); }) == model.has(name),
                "has agrees with the model");
        require(outcomeOf([&] { return parser.get(name); }) == model.get(name), "get agrees with the model");
        require(outcomeOf([&] { return parser.get_or(name, L"fallback"); }) == model.getOr(name, L"fallback"),
                "get_or agrees with the model");
    }
    return 0;
}
