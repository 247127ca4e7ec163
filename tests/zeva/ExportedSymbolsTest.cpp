// libzeva.so exports exactly the eight functions of the boundary, nothing more.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

// The defined dynamic symbols of the built library, as nm lists them.
std::set<std::string> ExportedSymbols(const std::string& library, bool& listed) {
    std::set<std::string> symbols;
    const std::string command = "nm -D --defined-only '" + library + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    listed = pipe != nullptr;
    if (pipe == nullptr) {
        return symbols;
    }
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) {
            symbols.insert(name);
        }
    }
    listed = pclose(pipe) == 0;
    return symbols;
}

TEST(ExportedSymbols, ExactlyTheEightFunctions) {
    bool listed = false;
    const std::set<std::string> symbols = ExportedSymbols(ZEVA_LIBRARY_PATH, listed);
    ASSERT_TRUE(listed) << "nm could not read " << ZEVA_LIBRARY_PATH;
    const std::set<std::string> expected = {"ZEVA_RegisterCallBack", "ZEVA_Start",
                                            "ZEVA_SendModuleScan",   "ZEVA_GetResponse",
                                            "ZEVA_GetInvPswdMacId",  "ZEVA_RemoveFirstInvPswdMacId",
                                            "ZEVA_SendConfigure",    "ZEVA_SendWink"};
    EXPECT_EQ(symbols, expected);
}

}  // namespace
