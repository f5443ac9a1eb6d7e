#pragma once
// Registration of the stub as an event-trace provider. The first thing and the
// last thing of every run.

namespace unfurler {

// Registers the provider; the result is not consulted (a run without tracing
// behaves the same). Call once, before anything is traced.
void register_trace_provider();

// Unregisters the provider; after this no trace point is emitted.
void unregister_trace_provider();

}  // namespace unfurler
