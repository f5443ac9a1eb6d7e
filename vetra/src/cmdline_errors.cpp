#include <vetra/errors.h>

namespace vetra {

// Both carry their information in kind and argument only; what() stays empty.

cmdline_runtime_error::cmdline_runtime_error(std::int32_t kind, const std::wstring& argument)
    : std::runtime_error(""), cmdline_error{kind, argument}
{
}

cmdline_logic_error::cmdline_logic_error(std::int32_t kind, const std::wstring& argument)
    : std::logic_error(""), cmdline_error{kind, argument}
{
}

}  // namespace vetra
