#pragma once
// Base fixture of the end-to-end tests: starts an emulator, points the library of this process
// at it and starts the library; fleet files go to the test's temporary folder and are removed
// with the fixture.

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/SimProcess.h"
#include "tests/zeva/LibraryEvents.h"

namespace ordvane::testing {

class EmulatorTest : public ::testing::Test {
protected:
    void StartWith(std::vector<std::string> arguments) {
        m_sim = std::make_unique<SimProcess>(std::move(arguments));
        ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
        PointLibraryAt(*m_sim);
        ASSERT_TRUE(LibraryEvents::StartLibrary());
    }

    // A file in the test's temporary folder, unique to this process.
    std::string WriteTemporaryFile(const std::string& name, const std::string& text) {
        const std::string path = TemporaryPath(name);
        std::ofstream(path) << text;
        return path;
    }

    std::string TemporaryPath(const std::string& name) {
        const std::string path = ::testing::TempDir() + "/" + name + "." + std::to_string(getpid());
        m_files.push_back(path);
        return path;
    }

    void TearDown() override {
        for (const std::string& path : m_files) {
            unlink(path.c_str());
        }
    }

    std::unique_ptr<SimProcess> m_sim;

private:
    std::vector<std::string> m_files;
};

}  // namespace ordvane::testing
