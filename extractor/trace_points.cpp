#include "trace_points.h"

namespace unfurler {

namespace {

trace_control_block control_block;
trace_sink current_sink = nullptr;

constexpr std::size_t max_arguments = 3;
const wchar_t empty_text[] = L"<NULL>";
const wchar_t missing_text[] = L"NULL";

}  // namespace

trace_control_block& trace_control()
{
    return control_block;
}

trace_sink set_trace_sink(trace_sink sink)
{
    const trace_sink previous = current_sink;
    current_sink = sink;
    return previous;
}

void trace_point(unsigned number, trace_level level, std::initializer_list<trace_argument> arguments)
{
    const trace_control_block& block = control_block;
    if (!block.initialised || (block.enable_flags & 1u) == 0 ||
        block.enable_level < static_cast<std::uint8_t>(level) || current_sink == nullptr)
        return;

    trace_buffer buffers[max_arguments] = {};
    std::uint32_t numbers[max_arguments] = {};
    std::size_t count = 0;
    for (const trace_argument& argument : arguments) {
        if (count == max_arguments)
            break;
        if (argument.is_number()) {
            numbers[count] = argument.number();
            buffers[count] = {&numbers[count], sizeof numbers[count]};
        } else {
            const wchar_t* text = argument.text();
            if (text == nullptr)
                text = missing_text;
            else if (*text == L'\0')
                text = empty_text;
            buffers[count] = {text, (std::char_traits<wchar_t>::length(text) + 1) * sizeof(wchar_t)};
        }
        ++count;
    }
    current_sink(block.logger_handle, trace_message_flags, trace_message_guid, static_cast<std::uint16_t>(number),
                 buffers, count);
}

}  // namespace unfurler
