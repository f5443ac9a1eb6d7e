#pragma once
// The stub's numbered trace points and the provider control block that gates
// them. Every point goes through trace_point; whether anything leaves the
// process is decided there from what the platform's control callback stored.
// Needs no Windows header: the call of the platform's trace function is
// behind trace_sink, which trace_provider.cpp installs.

#include <cstddef>
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
    trace_argument(const std::wstring& text) : text_(text.c_str()) {}  // NOLINT: implicit by design
    trace_argument(const wchar_t* text) : text_(text) {}               // NOLINT
    trace_argument(std::uint32_t number) : number_(number), is_number_(true) {}  // NOLINT

    bool is_number() const { return is_number_; }
    std::uint32_t number() const { return number_; }
    const wchar_t* text() const { return text_; }  // nullptr for a missing text

private:
    const wchar_t* text_ = nullptr;
    std::uint32_t number_ = 0;
    bool is_number_ = false;
};

// The provider's state, one per process. The control callback may store the
// logger handle, level and flags from a thread of the platform while the run
// goes on; trace_point reads them without a lock (a point emitted during a
// change may see the old or the new values).
struct trace_control_block {
    std::uint64_t registration_handle = 0;  // set by registration, cleared by unregistration
    std::uint64_t logger_handle = 0;        // set by the control callback
    volatile std::uint8_t enable_level = 1;   // 1 until a controller has spoken
    volatile std::uint32_t enable_flags = 0;  // 0 until a controller has spoken
    volatile bool initialised = false;        // registered and not yet unregistered
};

// The process's control block.
trace_control_block& trace_control();

// The 16 bytes of a GUID in the platform's layout.
struct trace_guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

// Identifies the provider to controllers: {FD7A03BB-C60D-421D-BC3A-B41D39F2786B}.
inline constexpr trace_guid trace_control_guid = {
    0xFD7A03BB, 0xC60D, 0x421D, {0xBC, 0x3A, 0xB4, 0x1D, 0x39, 0xF2, 0x78, 0x6B}};
// Sent with every trace point: {49908DEE-2A21-2B0A-17C1-35BE605F3C99}.
inline constexpr trace_guid trace_message_guid = {
    0x49908DEE, 0x2A21, 0x2B0A, {0x17, 0xC1, 0x35, 0xBE, 0x60, 0x5F, 0x3C, 0x99}};
// Sequence number, message GUID, time stamp and system information.
inline constexpr std::uint32_t trace_message_flags = 0x2B;

// One marshalled argument as it goes to the platform: address and byte length.
struct trace_buffer {
    const void* data;
    std::size_t size;
};

// Receives every trace point that passes the gate, with its arguments already
// marshalled (texts as UTF-16 with their terminator, numbers as 4 bytes).
using trace_sink = void (*)(std::uint64_t logger_handle, std::uint32_t message_flags, const trace_guid& message_guid,
                            std::uint16_t number, const trace_buffer* arguments, std::size_t count);

// Installs the sink that trace_point hands emitted points to, and returns the
// previous one (nullptr: points that pass the gate go nowhere).
trace_sink set_trace_sink(trace_sink sink);

// Emits trace point number (10 to 49) at level with its arguments (at most
// three), in the order of the point's definition: only while the provider is
// initialised, bit 0 of the enable flags is set and the enable level is at
// least level. An empty text travels as "<NULL>", a missing one as "NULL".
// Returns nothing and never fails; costs a few loads when tracing is off.
void trace_point(unsigned number, trace_level level, std::initializer_list<trace_argument> arguments = {});

}  // namespace unfurler
