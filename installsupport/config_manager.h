#pragma once
// The state of one Hostaid run: the parsed command line, the command's
// result properties and the error code that becomes the exit code.

#include "result_file.h"

#include <memory>
#include <string>

class CommandExecutor;

// Error codes, which are also Hostaid's exit codes.
enum HostaidErrorCode : int {
    kErrorNone = 0,
    kErrorTooFewParameters = 1,
    kErrorUnrecognizedCommand = 2,
    kErrorTooFewCommandParameters = 3,
    kErrorInvalidOutputFile = 4,
    kErrorCommandFailed = 16,
};

class ConfigManager {
public:
    // Empty command and output file, empty maps, error code 0, and the
    // executor that carries out GetDiskSpace.
    ConfigManager();
    ~ConfigManager();
    ConfigManager(const ConfigManager&) = delete;
    ConfigManager& operator=(const ConfigManager&) = delete;

    // Checks the command line (argv[0] is the program) in this order: at
    // least three arguments, a non-empty output file, a non-empty and known
    // command (exact, case-sensitive), the command's parameters. The first
    // failing check prints its "ParseArgv: Error-> ..." line, sets the error
    // code (1, 4, 2, 2, 3) and returns false; the command and the parameters
    // then stay empty. On success stores the command, its parameters and the
    // output file, sets the error code to 0 and returns true.
    bool ParseArgv(int argc, const char* const* argv);

    // Runs the parsed command; the error code becomes 0 when it reports
    // success and 16 when it reports failure. Throws what the command throws
    // (std::bad_alloc).
    void ExecuteCommand();

    // Writes the result file (FormatResultFile) to the output path, created
    // or truncated, shared for reading and writing. A file that cannot be
    // created, or whose writing fails, is reported on standard output and
    // left absent; the error code is not changed. Throws std::bad_alloc
    // before the file is opened.
    void WriteOutputFile();

    // Prints the whole state to standard output between the "==== ConfigManager"
    // begin and end lines.
    void DumpState() const;

    // Stores a result property, replacing an earlier value of the same key.
    void SetProp(const std::string& key, const std::string& value);

    int GetErrorCode() const { return m_errorCode; }
    const std::string& GetCommand() const { return m_command; }
    const std::string& GetOutputFile() const { return m_outputFile; }
    const PropertyMap& GetProps() const { return m_mapProps; }
    const PropertyMap& GetCommandParams() const { return m_mapCommandParams; }

private:
    std::unique_ptr<CommandExecutor> m_executor;
    std::string m_command;
    std::string m_outputFile;
    int m_errorCode = kErrorNone;
    PropertyMap m_mapProps;
    PropertyMap m_mapCommandParams;
};
