#include <vetra/cmdline_parser.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using Words = std::vector<std::wstring>;

// What a call raised: which of the two command-line errors, its kind and its
// argument.
struct Raised {
    enum Type { nothing, runtime, logic };

    Raised() = default;
    Raised(Type type, int kind, std::wstring argument) : type(type), kind(kind), argument(std::move(argument)) {}

    Type type = nothing;
    int kind = -1;
    std::wstring argument;
};

bool operator==(const Raised& a, const Raised& b)
{
    return a.type == b.type && a.kind == b.kind && a.argument == b.argument;
}

std::ostream& operator<<(std::ostream& out, const Raised& r)
{
    const char* types[] = {"nothing", "runtime", "logic"};
    return out << types[r.type] << " kind " << r.kind << " argument " << ::testing::PrintToString(r.argument);
}

Raised raisedBy(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vetra::cmdline_runtime_error& e) {
        return {Raised::runtime, e.kind, e.argument};
    } catch (const vetra::cmdline_logic_error& e) {
        return {Raised::logic, e.kind, e.argument};
    }
    return {};
}

Raised runtimeError(int kind, const std::wstring& argument) { return {Raised::runtime, kind, argument}; }
Raised logicError(int kind, const std::wstring& argument) { return {Raised::logic, kind, argument}; }

// A parser declared like the builder's, over argv[0] followed by the words.
class Parser {
public:
    Parser()
    {
        parser.add_option(L"--zip", true, L"-z");
        parser.add_option(L"--sfx", true, L"-s");
        parser.add_option(L"--help", false, L"-h");
        parser.add_option(L"--cleanup", false);
        parser.add_option(L"--target-dir", true);
        parser.add_option(L"--launch-arguments", true);
    }

    Raised parse(const Words& words)
    {
        std::vector<const wchar_t*> argv{L"Stubsmith.exe"};
        for (const std::wstring& word : words)
            argv.push_back(word.c_str());
        argv.push_back(nullptr);
        return raisedBy([&] { parser.parse(static_cast<int>(argv.size() - 1), argv.data()); });
    }

    vetra::cmdline_parser parser;
};

TEST(CmdlineParser, CommandLines)
{
    const struct {
        Words words;
        Raised raised;
        std::map<std::wstring, std::wstring> values;  // what get answers afterwards
    } cases[] = {
        {{}, {}, {}},
        {{L"--zip", L"a.zip", L"-s", L"out.exe", L"--cleanup"}, {}, {{L"--zip", L"a.zip"}, {L"--sfx", L"out.exe"}}},
        {{L"--launch-arguments", L"-x --y"}, {}, {{L"--launch-arguments", L"-x --y"}}},  // dashes are fine in values
        {{L"--target-dir", L""}, {}, {{L"--target-dir", L""}}},
        {{L"--zip"}, runtimeError(vetra::missing_parameter, L"--zip"), {}},
        {{L"--sfx", L"o.exe", L"-z"}, runtimeError(vetra::missing_parameter, L"-z"), {}},
        {{L"--target-dir", L"--cleanup"}, runtimeError(vetra::missing_parameter, L"--target-dir"), {}},
        {{L"--zip", L"-s", L"o.exe"}, runtimeError(vetra::missing_parameter, L"--zip"), {}},
        {{L"--zip", L"a.zip", L"-z", L"b.zip"}, runtimeError(vetra::duplicate_argument, L"-z"), {}},
        {{L"-h", L"--help"}, runtimeError(vetra::duplicate_argument, L"--help"), {}},
        {{L"--cleanup", L"--cleanup"}, runtimeError(vetra::duplicate_argument, L"--cleanup"), {}},
        {{L"--ZIP", L"a.zip"}, runtimeError(vetra::unknown_argument, L"--ZIP"), {}},
        {{L"--zip=a.zip"}, runtimeError(vetra::unknown_argument, L"--zip=a.zip"), {}},
        {{L"--help", L"bogus"}, runtimeError(vetra::unknown_argument, L"bogus"), {}},
        {{L"a.zip"}, runtimeError(vetra::unknown_argument, L"a.zip"), {}},   // no positional words
        {{L"--zi", L"a"}, runtimeError(vetra::unknown_argument, L"--zi"), {}},  // no prefix matching
        {{L"-hz", L"a"}, runtimeError(vetra::unknown_argument, L"-hz"), {}},    // no bundling
        {{L"--launch-exe", L"x"}, runtimeError(vetra::unknown_argument, L"--launch-exe"), {}},
    };
    for (const auto& c : cases) {
        Parser p;
        std::wstring line;
        for (const auto& word : c.words)
            line += L" [" + word + L"]";
        SCOPED_TRACE(::testing::PrintToString(line));
        EXPECT_EQ(p.parse(c.words), c.raised);
        for (const auto& [name, value] : c.values) {
            EXPECT_TRUE(p.parser.has(name));
            EXPECT_EQ(p.parser.get(name), value);
        }
    }
}

TEST(CmdlineParser, FirstWordIsNeverRead)
{
    vetra::cmdline_parser parser;
    parser.add_option(L"--zip", true);
    const wchar_t* argv[] = {L"--zip", nullptr};
    EXPECT_EQ(raisedBy([&] { parser.parse(1, argv); }), Raised{});
    EXPECT_FALSE(parser.has(L"--zip"));
    EXPECT_EQ(raisedBy([&] { parser.parse(0, argv); }), Raised{});
}

TEST(CmdlineParser, QueriesUseLongNames)
{
    Parser p;
    ASSERT_EQ(p.parse({L"-z", L"a.zip", L"--cleanup"}), Raised{});

    EXPECT_TRUE(p.parser.has(L"--zip"));
    EXPECT_EQ(p.parser.get(L"--zip"), L"a.zip");
    // A short name resolves but is never stored.
    EXPECT_FALSE(p.parser.has(L"-z"));
    EXPECT_EQ(raisedBy([&] { p.parser.get(L"-z"); }), runtimeError(vetra::unknown_argument, L"-z"));

    EXPECT_TRUE(p.parser.has(L"--cleanup"));
    EXPECT_EQ(raisedBy([&] { p.parser.get(L"--cleanup"); }), runtimeError(vetra::unexpected_parameter, L"--cleanup"));
    EXPECT_EQ(raisedBy([&] { p.parser.get_or(L"--cleanup", L"x"); }),
              runtimeError(vetra::unexpected_parameter, L"--cleanup"));
    EXPECT_EQ(raisedBy([&] { p.parser.get(L"--help"); }), runtimeError(vetra::unexpected_parameter, L"--help"));

    EXPECT_FALSE(p.parser.has(L"--sfx"));
    EXPECT_EQ(raisedBy([&] { p.parser.get(L"--sfx"); }), runtimeError(vetra::unknown_argument, L"--sfx"));
    EXPECT_EQ(p.parser.get_or(L"--sfx", L"default.exe"), L"default.exe");
    EXPECT_EQ(p.parser.get_or(L"--zip", L"default.zip"), L"a.zip");
}

TEST(CmdlineParser, UndeclaredNamesInQueriesAreTheProgramsFault)
{
    Parser p;
    ASSERT_EQ(p.parse({}), Raised{});
    EXPECT_EQ(raisedBy([&] { p.parser.has(L"--nope"); }), logicError(vetra::unknown_argument, L"--nope"));
    EXPECT_EQ(raisedBy([&] { p.parser.get(L"--nope"); }), logicError(vetra::unknown_argument, L"--nope"));
    EXPECT_EQ(raisedBy([&] { p.parser.get_or(L"--nope", L""); }), logicError(vetra::unknown_argument, L"--nope"));
    EXPECT_EQ(raisedBy([&] { p.parser.has(L"--Zip"); }), logicError(vetra::unknown_argument, L"--Zip"));
}

TEST(CmdlineParser, DeclaringTwiceIsTheProgramsFault)
{
    Parser p;
    EXPECT_EQ(raisedBy([&] { p.parser.add_option(L"--zip", false, L"-q"); }),
              logicError(vetra::duplicate_argument, L"--zip"));
    // The short name's owner is reported by its long name; that long name
    // stays declared, and the short name keeps its first owner.
    EXPECT_EQ(raisedBy([&] { p.parser.add_option(L"--elevate", false, L"-z"); }),
              logicError(vetra::duplicate_short_name, L"--elevate"));
    // Options without a short name never clash over it.
    EXPECT_EQ(raisedBy([&] { p.parser.add_option(L"--show-errors", false); }), Raised{});

    EXPECT_EQ(p.parse({L"--elevate", L"-z", L"a.zip", L"--show-errors"}), Raised{});
    EXPECT_TRUE(p.parser.has(L"--elevate"));
    EXPECT_EQ(p.parser.get(L"--zip"), L"a.zip");
    EXPECT_TRUE(p.parser.has(L"--show-errors"));
}

}  // namespace
