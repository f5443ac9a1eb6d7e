#include "config_manager.h"

#include "command_executor.h"
#include "path_expansion_map.h"

#include <clocale>
#include <cstdio>
#include <memory>
#include <share.h>

namespace {

constexpr char kGetDiskSpace[] = "GetDiskSpace";
constexpr char kSetRegistryForZelQual[] = "SetRegistryForZelQual";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using unique_stream = std::unique_ptr<std::FILE, FileCloser>;

void printMap(const PropertyMap& map)
{
    int index = 0;
    for (const auto& [key, value] : map)
        std::printf("\t#%d, %s=%s\n", index++, key.c_str(), value.c_str());
}

}  // namespace

ConfigManager::ConfigManager() : m_executor(std::make_unique<CommandExecutor>(*this)) {}

ConfigManager::~ConfigManager() = default;

bool ConfigManager::ParseArgv(int argc, const char* const* argv)
{
    if (argc < 3) {
        std::printf("ParseArgv: Error-> Too Few Parameters!\n");
        m_errorCode = kErrorTooFewParameters;
        return false;
    }
    if (argv[1][0] == '\0') {
        std::printf("ParseArgv: Error-> Invalid Output FileName!\n");
        m_errorCode = kErrorInvalidOutputFile;
        return false;
    }
    m_outputFile = argv[1];

    const std::string command = argv[2];
    if (command.empty()) {
        std::printf("ParseArgv: Error-> Unrecognized Command: Command is empty or null!\n");
        m_errorCode = kErrorUnrecognizedCommand;
        return false;
    }
    // Parameters go into a local map first, so that a failed parse leaves
    // m_mapCommandParams empty.
    PropertyMap params;
    if (command == kGetDiskSpace) {
        if (argc < 4) {
            std::printf("ParseArgv: Error-> Too Few Parameters for Command: %s!\n", command.c_str());
            m_errorCode = kErrorTooFewCommandParameters;
            return false;
        }
        params["DiskPath"] = argv[3];
    } else if (command == kSetRegistryForZelQual) {
        if (argc < 5) {
            std::printf("ParseArgv: Error-> Too Few Parameters for Command: %s!\n", command.c_str());
            m_errorCode = kErrorTooFewCommandParameters;
            return false;
        }
        params["VEKMInstallDir"] = argv[3];
        params["VEKMDataDir"] = argv[4];
    } else {
        std::printf("ParseArgv: Error-> Unrecognized Command\n");
        m_errorCode = kErrorUnrecognizedCommand;
        return false;
    }
    m_mapCommandParams = std::move(params);
    m_command = command;
    m_errorCode = kErrorNone;
    return true;
}

void ConfigManager::ExecuteCommand()
{
    std::printf("... Executing command ...\n");
    bool succeeded = false;
    if (m_command == kGetDiskSpace)
        succeeded = m_executor->GetDiskSpace(m_mapCommandParams["DiskPath"]);
    else if (m_command == kSetRegistryForZelQual)
        succeeded = SetRegistryForZelQual(m_mapCommandParams["VEKMInstallDir"], m_mapCommandParams["VEKMDataDir"]);
    m_errorCode = succeeded ? kErrorNone : kErrorCommandFailed;
}

void ConfigManager::WriteOutputFile()
{
    std::setlocale(LC_ALL, "");
    // The whole text is formed before the file is touched, so that running
    // out of memory cannot leave a half-written result file behind.
    const std::string text = FormatResultFile(m_errorCode, m_command, m_outputFile, m_mapProps);

    unique_stream file(::_fsopen(m_outputFile.c_str(), "wt", _SH_DENYNO));
    if (!file) {
        std::printf("Error: Failed to create file - %s\n", m_outputFile.c_str());
        return;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        // A truncated result file would tell the caller less than it asked
        // for while looking complete; leave none instead.
        std::remove(m_outputFile.c_str());
        std::printf("Error: Failed to write file - %s\n", m_outputFile.c_str());
    }
}

void ConfigManager::DumpState() const
{
    std::printf("==== ConfigManager: Begin ============================\n");
    std::printf("command=%s\n", m_command.c_str());
    std::printf("output file=%s\n", m_outputFile.c_str());
    std::printf("error code=%d\n", m_errorCode);
    std::printf("m_mapProps size=%d\n", static_cast<int>(m_mapProps.size()));
    printMap(m_mapProps);
    std::printf("m_mapCommandParams size=%d\n", static_cast<int>(m_mapCommandParams.size()));
    printMap(m_mapCommandParams);
    std::printf("==== ConfigManager: End ============================\n");
}

void ConfigManager::SetProp(const std::string& key, const std::string& value)
{
    m_mapProps[key] = value;
}
