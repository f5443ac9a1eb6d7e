// SetRegistryForZelQual, run as a script runs it, against keys and a service
// that each test sets up in the test prefix and removes again.
#include "hostaid_run.h"
#include "product_registry.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace hostaid_test;
using testsupport::ScratchFolder;
using testsupport::readFile;
using testsupport::withCrLf;

constexpr char kInstallValue[] = "VEKMINSTALLDIR";
constexpr char kDataValue[] = "VEKMDATADIR";
constexpr char kInstallDir[] = "C:\\Program Files (x86)\\Torvane\\VEKM\\";
constexpr char kDataDir[] = "d:\\VEKM Data";

std::string systemFolder()
{
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder) : std::string();
}

class SetRegistryForZelQual : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }

    static void clean()
    {
        removeTorvaneKeys(kView32);
        removeTorvaneKeys(kView64);
        removeMasterService();
    }

    // A product that asks for the map: a recent version, a silo and the map
    // key, all in the 32-bit view.
    static void setUpProduct(const std::string& silo = "Silo1")
    {
        setText(kView32, kVersionKey, "PRODUCTVERSION", "12.1.7000.0");
        setText(kView32, kProductKey, "silo", silo);
        createKey(kView32, mapKey(silo));
    }

    // Runs the command; checks the exit code 0 and the three-line result file.
    void runCommand(const std::string& installDir = kInstallDir, const std::string& dataDir = kDataDir)
    {
        const auto run = runHostaid({"r.txt", "SetRegistryForZelQual", installDir, dataDir}, folder_.path());
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(readFile(folder_ / "r.txt"), withCrLf("ErrorCode=0\nCommand=SetRegistryForZelQual\nFile=r.txt\n"));
        output_ = run.output;
    }

    static std::optional<std::string> text(REGSAM view, const std::string& subKey, const char* valueName)
    {
        const auto value = readValue(view, subKey, valueName);
        if (!value)
            return std::nullopt;
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
        // The data carries its terminating NUL, as REG_SZ readers expect.
        EXPECT_TRUE(!value->data.empty() && value->data.back() == '\0') << subKey << " " << valueName;
        return value->data.substr(0, value->data.find('\0'));
    }

    ScratchFolder folder_;
    std::string output_;
};

TEST_F(SetRegistryForZelQual, WritesBothFoldersUnchangedUnderTheSiloKey)
{
    setUpProduct();
    createMasterService();
    setText(kView32, mapKey("Silo1"), kInstallValue, "old install folder");
    // 259 characters, with a trailing backslash and mixed case, is written whole.
    std::string longInstallDir = "C:\\Program Files\\Torvane\\";
    longInstallDir += std::string(259 - longInstallDir.size() - 1, 'v') + "\\";
    ASSERT_EQ(longInstallDir.size(), 259u);

    runCommand(longInstallDir, kDataDir);

    EXPECT_EQ(text(kView32, mapKey("Silo1"), kInstallValue), longInstallDir);
    EXPECT_EQ(text(kView32, mapKey("Silo1"), kDataValue), std::string(kDataDir));
    EXPECT_EQ(output_, withCrLf("... Executing command ...\n" +
                                expectedDump("SetRegistryForZelQual", "r.txt", 0, {},
                                             {std::string("VEKMDataDir=") + kDataDir,
                                              "VEKMInstallDir=" + longInstallDir})));
}

TEST_F(SetRegistryForZelQual, ProductVersionDecidesWhetherTheMapIsWritten)
{
    struct Case {
        std::optional<std::string> version;  // nothing: the value is missing
        bool written;
    };
    const std::string fitting = "11.9.9999.9" + std::string(50, ' ');  // 61 bytes and its NUL: 62
    const std::string tooLong = fitting + " ";                        // 63 bytes: unreadable
    const std::vector<Case> cases = {
        {"11.9.9999.9", false},
        {"12.1.6999.0", false},
        {"12.1.7000.0", true},
        {"13.0.0.0", true},
        {"12.1", false},
        {"12..7000", false},
        {"no digits", false},
        {std::nullopt, true},
        {"", true},
        {fitting, false},
        {tooLong, true},
    };
    setUpProduct();
    createMasterService();
    for (const auto& c : cases) {
        const std::string shown = c.version ? "[" + *c.version + "]" : "missing";
        if (c.version)
            setText(kView32, kVersionKey, "PRODUCTVERSION", *c.version);
        else
            deleteValue(kView32, kVersionKey, "PRODUCTVERSION");
        deleteValue(kView32, mapKey("Silo1"), kInstallValue);
        deleteValue(kView32, mapKey("Silo1"), kDataValue);

        runCommand();

        if (c.written) {
            EXPECT_EQ(text(kView32, mapKey("Silo1"), kInstallValue), std::string(kInstallDir)) << shown;
            EXPECT_EQ(text(kView32, mapKey("Silo1"), kDataValue), std::string(kDataDir)) << shown;
        } else {
            EXPECT_FALSE(readValue(kView32, mapKey("Silo1"), kInstallValue)) << shown;
            EXPECT_FALSE(readValue(kView32, mapKey("Silo1"), kDataValue)) << shown;
        }
    }
}

TEST_F(SetRegistryForZelQual, MissingServiceSucceedsWithNothingWritten)
{
    setUpProduct();
    runCommand();
    EXPECT_FALSE(readValue(kView32, mapKey("Silo1"), kInstallValue));
    EXPECT_FALSE(readValue(kView32, mapKey("Silo1"), kDataValue));
}

TEST_F(SetRegistryForZelQual, UnreadableSiloLeavesAnEmptyComponentInTheMapPath)
{
    // The registry treats the doubled separator of the path
    // "Shieldhold\\Common Client" as one, so the writes reach the map key
    // directly below the product key.
    const std::string silolessMap = std::string(kProductKey) + "\\Common Client\\PathExpansionMap";
    const std::vector<std::optional<std::string>> silos = {std::nullopt, std::string(62, 's')};
    createMasterService();
    for (const auto& silo : silos) {
        removeTorvaneKeys(kView32);
        setText(kView32, kVersionKey, "PRODUCTVERSION", "13.0.0.0");
        createKey(kView32, silolessMap);
        if (silo) {
            setText(kView32, kProductKey, "silo", *silo);
            createKey(kView32, mapKey(*silo));
        }
        runCommand();
        EXPECT_EQ(text(kView32, silolessMap, kInstallValue), std::string(kInstallDir));
        EXPECT_EQ(text(kView32, silolessMap, kDataValue), std::string(kDataDir));
        if (silo) {
            EXPECT_FALSE(readValue(kView32, mapKey(*silo), kInstallValue));
        }
    }
}

TEST_F(SetRegistryForZelQual, MissingMapKeyIsNotCreated)
{
    setText(kView32, kVersionKey, "PRODUCTVERSION", "13.0.0.0");
    setText(kView32, kProductKey, "silo", "Silo1");
    createMasterService();
    runCommand();
    EXPECT_FALSE(keyExists(kView32, std::string(kProductKey) + "\\Silo1"));
}

TEST_F(SetRegistryForZelQual, ReadsAndWritesTheView32BitProgramsSee)
{
    // A native-view product that would block the write and name another
    // silo: the command must look at the 32-bit view only.
    setText(kView64, kVersionKey, "PRODUCTVERSION", "11.0.0.0");
    setText(kView64, kProductKey, "silo", "Other");
    createKey(kView64, mapKey("Other"));
    createKey(kView64, mapKey("Silo1"));
    setText(kView32, kVersionKey, "PRODUCTVERSION", "13.0.0.0");
    setText(kView32, kProductKey, "silo", "Silo1");
    createKey(kView32, mapKey("Silo1"));
    createMasterService();

    runCommand();

    EXPECT_EQ(text(kView32, mapKey("Silo1"), kInstallValue), std::string(kInstallDir));
    EXPECT_EQ(text(kView32, mapKey("Silo1"), kDataValue), std::string(kDataDir));
    // The same values through the redirected node's native path...
    const std::string redirected = "SOFTWARE\\Wow6432Node\\Torvane\\Shieldhold\\Silo1\\Common Client\\PathExpansionMap";
    EXPECT_EQ(text(kView64, redirected, kInstallValue), std::string(kInstallDir));
    // ...and as the system's reg tool shows the 32-bit view.
    const auto reg = testsupport::runProgram(
        std::filesystem::path(systemFolder()) / "reg.exe",
        std::vector<std::string>{"query", "HKLM\\" + mapKey("Silo1"), "/v", kDataValue, "/reg:32"}, folder_.path());
    EXPECT_EQ(reg.exitCode, 0u) << reg.output << reg.errors;
    EXPECT_NE(reg.output.find(std::string(kDataValue) + "    REG_SZ    " + kDataDir), std::string::npos)
        << reg.output;
    // Nothing in the native view.
    EXPECT_FALSE(readValue(kView64, mapKey("Other"), kInstallValue));
    EXPECT_FALSE(readValue(kView64, mapKey("Silo1"), kInstallValue));
    EXPECT_FALSE(readValue(kView64, mapKey("Silo1"), kDataValue));
}

}  // namespace
