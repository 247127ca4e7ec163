// ordvane-cli configure and wink against the emulator over loopback. The command runs as a
// child process with passwords on its standard input; what reached the modules is read from
// the emulator's lines.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/SimProcess.h"
#include "tests/support/TemporaryFolder.h"

namespace {

using ordvane::testing::SimProcess;

// 01 plain (service 1.10), 02 hashed (1.9) with unknown mask, gateway, DNS and DHCP.
constexpr const char* kFleet =
    "mac,service,type,ip,mask,gateway,dhcp,hostname,dns1,dns2,hashed,password\n"
    "0A-51-4D-00-00-01,1.10,QM-240,10.20.30.40,255.255.255.0,10.20.30.1,0,lineone,10.20.30.53,"
    "10.20.30.54,0,secret\n"
    "0A-51-4D-00-00-02,1.9,QM-300,10.20.31.7,,,,two,,,1,opensesame\n";

struct CliRun {
    int status = -1;
    std::string output;  // standard output and standard error
};

class CliConfigure : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_folder.Path().empty());
        const std::string fleet = Write("fleet.csv", kFleet);
        m_sim = std::make_unique<SimProcess>(std::vector<std::string>{"--fleet", fleet});
        ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();
        ordvane::testing::PointLibraryAt(*m_sim);  // inherited by the command
    }

    // The emulator stops before its folder goes.
    void TearDown() override { m_sim.reset(); }

    std::string Write(const std::string& name, const std::string& text) {
        return m_folder.Write(name, text);
    }

    // Runs ordvane-cli with arguments, standard input from the given text.
    CliRun Run(const std::string& arguments, const std::string& input = "") {
        const std::string inputPath = Write("input", input);
        const std::string command =
            std::string(ORDVANE_CLI_PATH) + " " + arguments + " <" + inputPath + " 2>&1";
        CliRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return run;
        }
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            run.output += buffer;
        }
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    std::vector<std::string> Lines(const std::string& prefix) const {
        return m_sim->LinesStartingWith(prefix);
    }

    std::unique_ptr<SimProcess> m_sim;

private:
    ordvane::testing::TemporaryFolder m_folder;
};

// Runs ordvane-cli with arguments on a pseudo-terminal: what the program writes and what the
// terminal echoes both arrive on the master side. Each answer is typed once the text before it
// has appeared (a prompt), as a user would.
CliRun RunOnTerminal(const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& promptsAndAnswers) {
    CliRun run;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        return run;
    }
    const std::string terminal = ::ptsname(master);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int slave = ::open(terminal.c_str(), O_RDWR);
        ::dup2(slave, 0);
        ::dup2(slave, 1);
        ::dup2(slave, 2);
        std::vector<char*> argv = {const_cast<char*>(ORDVANE_CLI_PATH)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(ORDVANE_CLI_PATH, argv.data());
        ::_exit(127);
    }
    std::size_t next = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        if (next < promptsAndAnswers.size() &&
            run.output.find(promptsAndAnswers[next].first) != std::string::npos) {
            const std::string& answer = promptsAndAnswers[next++].second;
            (void)!::write(master, answer.data(), answer.size());
        }
        pollfd readable{master, POLLIN, 0};
        if (::poll(&readable, 1, 100) <= 0) {
            continue;
        }
        char buffer[512];
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) {
            break;  // the program ended and closed the terminal
        }
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    int status = 0;
    pid_t ended = 0;
    for (int tries = 0; tries < 100 && ended == 0; ++tries) {
        ended = ::waitpid(child, &status, WNOHANG);
        if (ended == 0) {
            ::usleep(50'000);
        }
    }
    if (ended != child) {
        ::kill(child, SIGKILL);  // still waiting for input: the test fails, it does not hang
        ::waitpid(child, &status, 0);
    }
    ::close(master);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST_F(CliConfigure, PasswordsTypedAtATerminalAreNotEchoed) {
    const CliRun run = RunOnTerminal({"configure", "0A-51-4D-00-00-01", "--password-stdin",
                                      "--new-password-stdin", "--plain-password"},
                                     {{"Password: ", "secret\n"},
                                      {"New password: ", "fresh2\n"},
                                      {"New password again: ", "fresh2\n"}});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Password: "), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("secret"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("fresh2"), std::string::npos) << run.output;
    ASSERT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-00-01", 1)) << m_sim->Describe();
    // The terminal echoes again afterwards: the settings were put back.
    EXPECT_NE(run.output.find("0A-51-4D-00-00-01 10.20.30.40 QM-240"), std::string::npos);
}

TEST_F(CliConfigure, GeneratedModulesLeftAsTheyAreAreAccepted) {
    SimProcess generated({"--count", "8", "--seed", "7"});
    ASSERT_TRUE(generated.WaitReady()) << generated.Describe();
    ordvane::testing::PointLibraryAt(generated);
    for (int module = 1; module <= 8; ++module) {
        const std::string mac = "0A-51-4D-00-00-0" + std::to_string(module);
        const CliRun run =
            Run("configure " + mac + " --password-stdin --plain-password", "quillmor\n");
        EXPECT_EQ(run.status, 0) << mac << ": " << run.output << generated.Describe();
    }
    ordvane::testing::PointLibraryAt(*m_sim);
}

TEST_F(CliConfigure, PlainModuleKeepsWhatIsNotGivenAndTheRescanShowsIt) {
    const CliRun run =
        Run("configure 0A-51-4D-00-00-01 --ip 10.20.30.41 --hostname gw2 "
            "--password-stdin --plain-password",
            "secret\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "0A-51-4D-00-00-01 10.20.30.41 QM-240\n");
    // The command ends when the rescan shows the module; the emulator's line may still be
    // on its way through the pipe.
    ASSERT_TRUE(m_sim->WaitForLines("configure ", 1)) << m_sim->Describe();
    ASSERT_EQ(Lines("configure ").size(), 1u) << m_sim->Describe();
    EXPECT_EQ(Lines("configure ")[0],
              "configure mac=0A-51-4D-00-00-01 ip=10.20.30.41 mask=255.255.255.0 "
              "gateway=10.20.30.1 dhcp=off dns1=10.20.30.53 dns2=10.20.30.54 password=kept "
              "hostname=gw2");
}

TEST_F(CliConfigure, HashedModuleTakesANewPasswordThatWorksAfterwards) {
    CliRun run =
        Run("configure 0A-51-4D-00-00-02 --dhcp on --password-stdin "
            "--new-password-stdin",
            "opensesame\nfresh1\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("opensesame"), std::string::npos);
    EXPECT_EQ(run.output.find("fresh1"), std::string::npos);
    // The command ends when the rescan shows the module; the emulator's line may still be
    // on its way through the pipe.
    ASSERT_TRUE(m_sim->WaitForLines("configure ", 1)) << m_sim->Describe();
    ASSERT_EQ(Lines("configure ").size(), 1u) << m_sim->Describe();
    EXPECT_EQ(Lines("configure ")[0],
              "configure mac=0A-51-4D-00-00-02 ip=10.20.31.7 mask=0.0.0.0 gateway=0.0.0.0 "
              "dhcp=on dns1=0.0.0.0 dns2=0.0.0.0 password=changed hostname=two");

    run = Run("configure 0A-51-4D-00-00-02 --password-stdin", "opensesame\n");
    EXPECT_EQ(run.status, 3) << run.output;
    EXPECT_EQ(run.output, "Invalid password\n");
    run = Run("configure 0A-51-4D-00-00-02 --password-stdin", "fresh1\n");
    EXPECT_EQ(run.status, 0) << run.output;
}

// The limit counts characters, as the dialog does: 29 two-byte characters make a password, 30
// do not, and the new password works afterwards.
TEST_F(CliConfigure, PasswordsOf29CharactersOutsideAsciiAreTaken) {
    std::string wide;
    for (int i = 0; i < 29; ++i) {
        wide += "\u00e9";
    }
    CliRun run = Run("configure 0A-51-4D-00-00-02 --password-stdin --new-password-stdin",
                     "opensesame\n" + wide + "\n");
    EXPECT_EQ(run.status, 0) << run.output;
    run = Run("configure 0A-51-4D-00-00-02 --password-stdin", wide + "\n");
    EXPECT_EQ(run.status, 0) << run.output;
    run = Run("configure 0A-51-4D-00-00-02 --password-stdin", wide + "\u00e9\n");
    EXPECT_EQ(run.status, 2) << run.output;
}

TEST_F(CliConfigure, ValuesAModuleDoesNotReportStayUnreportedAfterAConfigure) {
    // Module 02 reports no mask, gateway, DNS or DHCP state; the request carries 0 or "off"
    // for them, and a given value is no different.
    CliRun run =
        Run("configure 0A-51-4D-00-00-02 --gateway 10.20.31.1 --password-stdin", "opensesame\n");
    ASSERT_EQ(run.status, 0) << run.output;
    run = Run("scan --seconds 1 --format csv --sort mac");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("10.20.31.7,N/A,N/A,N/A,N/A,QM-300,0A-51-4D-00-00-02"),
              std::string::npos)
        << run.output;
}

TEST_F(CliConfigure, RefusesWhatTheDialogRefusesAndSendsNothing) {
    CliRun run = Run("configure 0A-51-4D-00-00-01 --hostname gate-way --ip 10.0.0.255");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, "Illegal hostname! Only a-z, A-Z and 0-9 allowed.\n");
    run = Run("configure 0A-51-4D-00-00-01 --ip 10.0.0.255");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, "Last digit of IP address can not be 255.\n");
    for (const char* arguments :
         {"configure", "configure 0A-51-4D-00-00", "configure 0A-51-4D-00-00-01 --ip 10.0.0",
          "configure 0A-51-4D-00-00-01 --dhcp maybe", "configure 0A-51-4D-00-00-01 --mask",
          "configure 0A-51-4D-00-00-01 --colour red", "wink", "wink 0A-51-4D-00-00-01 extra"}) {
        EXPECT_EQ(Run(arguments).status, 2) << arguments;
    }
    run = Run("configure 0A-51-4D-00-00-01 --hostname abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_EQ(run.status, 2) << run.output;
    run = Run("configure 0A-51-4D-00-00-01 --password-stdin", std::string(30, 'p') + "\n");
    EXPECT_EQ(run.status, 2) << run.output;
    run = Run("configure 0A-51-4D-00-00-01 --password-stdin", "");
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_TRUE(Lines("configure ").empty());
    EXPECT_TRUE(Lines("reject ").empty());
}

TEST_F(CliConfigure, AModuleThatDoesNotAnswerTheScanIsAFailure) {
    const CliRun run = Run("configure 0A-51-4D-00-00-77 --password-stdin", "x\n");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output, "ordvane-cli configure: 0A-51-4D-00-00-77 did not answer the scan\n");
    EXPECT_EQ(Run("configure --help").status, 0);
    EXPECT_EQ(Run("wink --help").status, 0);
}

TEST_F(CliConfigure, WinkFollowsTheServiceVersionRule) {
    CliRun run = Run("wink 0A-51-4D-00-00-01");
    EXPECT_EQ(run.status, 0) << run.output;
    ASSERT_TRUE(m_sim->WaitForLines("wink mac=0A-51-4D-00-00-01", 1)) << m_sim->Describe();
    run = Run("wink 0a:51:4d:00:00:02");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "Device does not support wink.\n");
    EXPECT_TRUE(Lines("wink mac=0A-51-4D-00-00-02").empty());
}

// A password goes in clear only with --plain-password, and never to a MAC once seen asking for
// hashed passwords, even by another run: here a device alone answers in module 02's name,
// claiming plain passwords, after a scan saw the module itself. Forgetting the MAC lifts that.
TEST_F(CliConfigure, PasswordsGoInClearOnlyWithConsentAndNeverAfterHashedOnes) {
    SimProcess impostor({"--fleet", Write("impostor.csv",
                                          "mac,ip,hashed,password\n"
                                          "0A-51-4D-00-00-02,10.20.31.66,0,x\n")});
    ASSERT_TRUE(impostor.WaitReady()) << impostor.Describe();
    struct Step {
        SimProcess* answering;
        std::string arguments;
        int status;
        std::string says;
    };
    const Step steps[] = {
        {m_sim.get(), "configure 0A-51-4D-00-00-01 --password-stdin", 1, "--plain-password"},
        {m_sim.get(), "configure 0A-51-4D-00-00-01 --password-stdin --plain-password", 0, ""},
        {m_sim.get(), "scan --seconds 1", 0, "0A-51-4D-00-00-02"},
        {&impostor, "configure 0A-51-4D-00-00-02 --password-stdin --plain-password", 1,
         "asked for hashed passwords before"},
        {&impostor, "forget 0A-51-4D-00-00-02", 0, ""},
        {&impostor, "forget 0A-51-4D-00-00-02", 1, "not a known module"},
        {&impostor, "configure 0A-51-4D-00-00-02 --password-stdin --plain-password", 3, ""},
    };
    for (const Step& step : steps) {
        ordvane::testing::PointLibraryAt(*step.answering);
        const CliRun run = Run(step.arguments, "secret\n");
        EXPECT_EQ(run.status, step.status) << step.arguments << ": " << run.output;
        EXPECT_NE(run.output.find(step.says), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("secret"), std::string::npos) << run.output;
    }
    EXPECT_EQ(Lines("configure ").size(), 1u) << m_sim->Describe();
    EXPECT_EQ(impostor.LinesStartingWith("reject ").size(), 1u) << impostor.Describe();
}

// A new password is deliberate: typed twice alike at a terminal, never empty by accident, and
// removed only with --remove-password, after which no password is needed.
TEST_F(CliConfigure, ANewPasswordIsTypedTwiceAndRemovedOnlyOnPurpose) {
    CliRun run = RunOnTerminal(
        {"configure", "0A-51-4D-00-00-02", "--password-stdin", "--new-password-stdin"},
        {{"Password: ", "opensesame\n"},
         {"New password: ", "fresh1\n"},
         {"New password again: ", "fresh2\n"}});
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("the two new passwords differ"), std::string::npos) << run.output;
    struct Step {
        std::string arguments;
        std::string input;
        int status;
        std::string says;
    };
    const Step steps[] = {
        {"--password-stdin --new-password-stdin", "opensesame\n\n", 2, "--remove-password"},
        {"--new-password-stdin --remove-password", "", 2, "not both"},
        {"--password-stdin --remove-password", "opensesame\n", 0, "0A-51-4D-00-00-02"},
        {"", "", 0, "0A-51-4D-00-00-02"},
    };
    for (const Step& step : steps) {
        run = Run("configure 0A-51-4D-00-00-02 " + step.arguments, step.input);
        EXPECT_EQ(run.status, step.status) << step.arguments << ": " << run.output;
        EXPECT_NE(run.output.find(step.says), std::string::npos) << run.output;
    }
    ASSERT_TRUE(m_sim->WaitForLines("configure ", 2)) << m_sim->Describe();
    EXPECT_NE(Lines("configure ")[0].find("password=changed"), std::string::npos);
}

}  // namespace
