#pragma once
// The one place where the stub's numbered trace points are emitted. Callers
// name the point, its level and its arguments; whether anything leaves the
// process is decided inside. Needs no Windows header.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace unfurler {

// Least enable level at which a trace point is emitted.
enum class trace_level : std::uint8_t { error = 2, verbose = 4 };

// One argument of a trace point: a text (UTF-16; a null pointer stands for a
// missing text) or a 32-bit number.
class trace_argument {
public:
    trace_argument(const std::wstring& text) : text_(&text), is_number_(false) {}  // NOLINT: implicit by design
    trace_argument(const wchar_t* text) : text_c_(text), is_number_(false) {}      // NOLINT
    trace_argument(std::uint32_t number) : number_(number), is_number_(true) {}    // NOLINT
    trace_argument(int number) : number_(static_cast<std::uint32_t>(number)), is_number_(true) {}  // NOLINT

    bool is_number() const { return is_number_; }
    std::uint32_t number() const { return number_; }
    // The text's characters, or nullptr for a missing text.
    const wchar_t* text() const { return text_ ? text_->c_str() : text_c_; }

private:
    const std::wstring* text_ = nullptr;
    const wchar_t* text_c_ = nullptr;
    std::uint32_t number_ = 0;
    bool is_number_;
};

// Emits trace point number at level with its arguments, in the order of the
// point's definition. Returns nothing and never fails; cheap when tracing is
// off.
void trace_point(unsigned number, trace_level level, std::initializer_list<trace_argument> arguments = {});

}  // namespace unfurler
