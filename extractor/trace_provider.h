#pragma once
// Registration of the stub as an event-trace provider: the first and the last
// thing of every run.

#include <windows.h>
#include <wmistr.h>

namespace unfurler {

// Registers the provider under its control GUID with the control callback
// below, marks the control block initialised and, unless a sink is installed
// already, installs the one that passes emitted points to TraceMessage. The registration's result is not
// consulted: a run without tracing behaves the same.
void register_trace_provider();

// Unregisters the provider (when it holds a registration handle), clears the
// handle and marks the block not initialised: no point is emitted afterwards.
void unregister_trace_provider();

// The platform's control callback. Enable (4) takes the logger handle from
// buffer and its level and flags; disable (5) stores zeros; both answer 0.
// Any other request answers ERROR_INVALID_PARAMETER (87) and changes nothing.
// *buffer_size is set to 0 in every case.
ULONG WINAPI trace_control_callback(WMIDPREQUESTCODE request, PVOID context, ULONG* buffer_size, PVOID buffer);

}  // namespace unfurler
