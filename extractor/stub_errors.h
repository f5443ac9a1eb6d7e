#pragma once
// The stub's own failures that are no failed Windows call. Both are plain
// runtime errors: what() is the whole message, there is no error code.

#include <stdexcept>
#include <string>

namespace unfurler {

// A self-extractor file or its embedded archive is damaged or unsafe: no
// settings marker, no archive, an unreadable directory, an entry whose data is
// short or fails its checksum, an entry name that leads outside the target.
class corrupt_payload_error : public std::runtime_error {
public:
    explicit corrupt_payload_error(const std::string& message) : std::runtime_error(message) {}
};

// A stub option on the command line is unknown or lacks its value.
class stub_option_error : public std::runtime_error {
public:
    explicit stub_option_error(const std::string& message) : std::runtime_error(message) {}
};

// A pass-through argument or the path of the command script to launch cannot
// be handed to cmd.exe without being changed or letting part of it run as a
// command.
class command_script_error : public std::runtime_error {
public:
    explicit command_script_error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace unfurler
