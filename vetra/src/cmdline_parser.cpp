#include <vetra/cmdline_parser.h>

namespace vetra {

cmdline_parser::option_table::const_iterator cmdline_parser::resolve(const std::wstring& word) const
{
    const auto alias = short_names_.find(word);
    return options_.find(alias != short_names_.end() ? alias->second : word);
}

void cmdline_parser::add_option(const std::wstring& long_name, bool takes_value, const std::wstring& short_name)
{
    if (!options_.emplace(long_name, takes_value).second)
        throw cmdline_logic_error(duplicate_argument, long_name);
    if (!short_name.empty() && !short_names_.emplace(short_name, long_name).second)
        throw cmdline_logic_error(duplicate_short_name, long_name);
}

void cmdline_parser::parse(int argc, const wchar_t* const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring word = argv[i];
        const auto option = resolve(word);
        if (option == options_.end())
            throw cmdline_runtime_error(unknown_argument, word);

        std::wstring value;
        if (option->second) {
            if (i + 1 >= argc)
                throw cmdline_runtime_error(missing_parameter, word);
            value = argv[i + 1];
            // A declared name is never taken as a value, even when the user
            // meant it as one.
            if (resolve(value) != options_.end())
                throw cmdline_runtime_error(missing_parameter, word);
            ++i;
        }
        if (!given_.emplace(option->first, std::move(value)).second)
            throw cmdline_runtime_error(duplicate_argument, word);
    }
}

bool cmdline_parser::has(const std::wstring& name) const
{
    if (resolve(name) == options_.end())
        throw cmdline_logic_error(unknown_argument, name);
    // Given options are stored under their long names only.
    return given_.count(name) != 0;
}

std::wstring cmdline_parser::get(const std::wstring& name) const
{
    const auto option = resolve(name);
    if (option == options_.end())
        throw cmdline_logic_error(unknown_argument, name);
    if (!option->second)
        throw cmdline_runtime_error(unexpected_parameter, name);
    const auto given = given_.find(name);
    if (given == given_.end())
        throw cmdline_runtime_error(unknown_argument, name);
    return given->second;
}

std::wstring cmdline_parser::get_or(const std::wstring& name, const std::wstring& default_value) const
{
    return has(name) ? get(name) : default_value;
}

}  // namespace vetra
