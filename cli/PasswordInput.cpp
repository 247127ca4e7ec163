#include "cli/PasswordInput.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "config/ConfigureDialogValues.h"
#include "platform/Utf8Text.h"

namespace ordvane::cli {

namespace {

// The terminal's settings before echo went off, for the signal handler to put back.
termios g_savedTerminal;
volatile sig_atomic_t g_echoOff = 0;

constexpr int kRestoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

void RestoreTerminalAndRaise(int signalNumber) {
    if (g_echoOff != 0) {
        tcsetattr(STDIN_FILENO, TCSADRAIN, &g_savedTerminal);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// Echo off for its lifetime; the previous signal dispositions come back with the echo.
class EchoOff {
public:
    EchoOff() {
        if (tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0) {
            return;
        }
        struct sigaction restoring = {};
        restoring.sa_handler = RestoreTerminalAndRaise;
        sigemptyset(&restoring.sa_mask);
        for (std::size_t index = 0; index < std::size(kRestoringSignals); ++index) {
            sigaction(kRestoringSignals[index], &restoring, &m_previous[index]);
        }
        termios quiet = g_savedTerminal;
        quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHOE | ECHOK | ECHONL));
        // Typed-ahead input stays: a password typed before the prompt still counts.
        m_active = tcsetattr(STDIN_FILENO, TCSADRAIN, &quiet) == 0;
        g_echoOff = m_active ? 1 : 0;
        if (!m_active) {
            RestoreSignals();
        }
    }
    ~EchoOff() {
        if (!m_active) {
            return;
        }
        tcsetattr(STDIN_FILENO, TCSADRAIN, &g_savedTerminal);
        g_echoOff = 0;
        RestoreSignals();
        // The Enter that ended the line was not echoed either.
        std::fputc('\n', stderr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    void RestoreSignals() {
        for (std::size_t index = 0; index < std::size(kRestoringSignals); ++index) {
            sigaction(kRestoringSignals[index], &m_previous[index], nullptr);
        }
    }

    bool m_active = false;
    struct sigaction m_previous[std::size(kRestoringSignals)] = {};
};

}  // namespace

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool ReadSecretLine(const char* prompt, std::string& line) {
    if (isatty(STDIN_FILENO) == 0) {
        return static_cast<bool>(std::getline(std::cin, line));
    }
    // Echo goes off before the prompt shows, so nothing typed after the prompt is echoed.
    EchoOff echoOff;
    std::fprintf(stderr, "%s", prompt);
    std::fflush(stderr);
    return static_cast<bool>(std::getline(std::cin, line));
}

bool ReadPasswordLine(const char* what, const char* prompt, std::string& password,
                      std::string& error) {
    if (!ReadSecretLine(prompt, password)) {
        error = std::string("no ") + what + " on standard input";
        return false;
    }
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (CountUtf8Characters(password) > kDialogTextLimit) {
        error = std::string("the ") + what + " has more than 29 characters";
        return false;
    }
    return true;
}

}  // namespace ordvane::cli
