#pragma once
// A virtual X server (Xvfb) for a whole test program, on a display number it picks itself, so
// that programs run side by side never share a display. The program registers it once:
//   const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new VirtualXServer);
// and reads the display's name from VirtualDisplay(); DISPLAY names it too.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

inline std::string& VirtualDisplay()
{
    static std::string display;
    return display;
}

class VirtualXServer : public ::testing::Environment
{
public:
    void SetUp() override
    {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        mServer = fork();
        if (mServer == 0)
        {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start (package xvfb)";
        VirtualDisplay() = ":" + number;
        setenv("DISPLAY", VirtualDisplay().c_str(), 1);
    }
    void TearDown() override
    {
        if (mServer > 0)
        {
            kill(mServer, SIGTERM);
            waitpid(mServer, nullptr, 0);
        }
    }

private:
    pid_t mServer = 0;
};
