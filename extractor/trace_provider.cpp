#include "trace_provider.h"

#include "trace_points.h"

#include <evntrace.h>

#include <cstring>

namespace unfurler {

namespace {

GUID to_guid(const trace_guid& guid)
{
    static_assert(sizeof(GUID) == sizeof(trace_guid), "trace_guid has the layout of GUID");
    GUID result;
    std::memcpy(&result, &guid, sizeof result);
    return result;
}

const GUID control_guid = to_guid(trace_control_guid);
const GUID message_guid = to_guid(trace_message_guid);

void send_to_trace_message(std::uint64_t logger_handle, std::uint32_t message_flags, const trace_guid& /*guid*/,
                           std::uint16_t number, const trace_buffer* arguments, std::size_t count)
{
    // TraceMessage takes address and length pairs as variable arguments, ended
    // by a null address.
    const TRACEHANDLE logger = logger_handle;
    switch (count) {
    case 0:
        ::TraceMessage(logger, message_flags, &message_guid, number, nullptr);
        break;
    case 1:
        ::TraceMessage(logger, message_flags, &message_guid, number, arguments[0].data, arguments[0].size, nullptr);
        break;
    case 2:
        ::TraceMessage(logger, message_flags, &message_guid, number, arguments[0].data, arguments[0].size,
                       arguments[1].data, arguments[1].size, nullptr);
        break;
    default:
        ::TraceMessage(logger, message_flags, &message_guid, number, arguments[0].data, arguments[0].size,
                       arguments[1].data, arguments[1].size, arguments[2].data, arguments[2].size, nullptr);
        break;
    }
}

}  // namespace

ULONG WINAPI trace_control_callback(WMIDPREQUESTCODE request, PVOID context, ULONG* buffer_size, PVOID buffer)
{
    if (buffer_size != nullptr)
        *buffer_size = 0;
    auto& block = *static_cast<trace_control_block*>(context);
    TRACEHANDLE logger = 0;
    UCHAR level = 0;
    ULONG flags = 0;
    switch (request) {
    case WMI_ENABLE_EVENTS:
        logger = ::GetTraceLoggerHandle(buffer);
        level = ::GetTraceEnableLevel(logger);
        flags = ::GetTraceEnableFlags(logger);
        break;
    case WMI_DISABLE_EVENTS:
        break;
    default:
        return ERROR_INVALID_PARAMETER;
    }
    block.logger_handle = logger;
    block.enable_level = level;
    block.enable_flags = flags;
    return ERROR_SUCCESS;
}

void register_trace_provider()
{
    trace_control_block& block = trace_control();
    TRACE_GUID_REGISTRATION registration{};
    registration.Guid = &control_guid;
    TRACEHANDLE handle = 0;
    ::RegisterTraceGuidsW(trace_control_callback, &block, &control_guid, /* guid count */ 1, &registration,
                          /* image path */ nullptr, /* resource name */ nullptr, &handle);
    block.registration_handle = handle;
    // A sink installed before registration (a test's) stays in place.
    if (const trace_sink earlier = set_trace_sink(send_to_trace_message))
        set_trace_sink(earlier);
    block.initialised = true;
}

void unregister_trace_provider()
{
    trace_control_block& block = trace_control();
    if (block.registration_handle != 0) {
        ::UnregisterTraceGuids(block.registration_handle);
        block.registration_handle = 0;
    }
    block.initialised = false;
}

}  // namespace unfurler
