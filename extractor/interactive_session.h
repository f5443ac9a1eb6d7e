#pragma once
// Whether a failure may be shown to a person.

namespace unfurler {

// True when the process token's groups hold the well-known INTERACTIVE group
// (S-1-5-4); group attributes are not consulted. Any failure to ask gives
// false (a service never blocks on a message box). Never raises.
bool is_interactive_session();

}  // namespace unfurler
