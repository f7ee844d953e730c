#include "bench/virtual_display.h"

#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {
constexpr int StartTimeoutMs = 15000;
}

QString VirtualDisplay::start(QString &error)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
        error = QStringLiteral("no display is set and Xvfb is not installed (apt-get install xvfb)");
        return {};
    }
    int pipe[2];
    if (::pipe(pipe) != 0) {
        error = QStringLiteral("cannot make a pipe for Xvfb");
        return {};
    }
    const std::string path = program.toStdString();
    const std::string displayFd = std::to_string(pipe[1]);
    m_server = ::fork();
    if (m_server == 0) {
        // Xvfb writes the display number it chose to the pipe once it accepts clients, and
        // ends with the benchmark however that ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::close(pipe[0]);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execl(path.c_str(), "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
                "tcp", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[1]);
    if (m_server < 0) {
        ::close(pipe[0]);
        error = QStringLiteral("cannot start Xvfb");
        return {};
    }
    std::string number;
    pollfd ready{pipe[0], POLLIN, 0};
    char character = 0;
    while (::poll(&ready, 1, StartTimeoutMs) > 0 && ::read(pipe[0], &character, 1) == 1 && character != '\n')
        number += character;
    ::close(pipe[0]);
    if (number.empty()) {
        error = QStringLiteral("Xvfb did not start");
        return {};
    }
    return QStringLiteral(":") + QString::fromStdString(number);
}

VirtualDisplay::~VirtualDisplay()
{
    if (m_server <= 0)
        return;
    ::kill(m_server, SIGTERM);
    ::waitpid(m_server, nullptr, 0);
}
