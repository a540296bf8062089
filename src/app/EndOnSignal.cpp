#include "EndOnSignal.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal handler may only reach what is global: the end of a socket pair
// it writes to, which the event loop watches.
int g_wakeFd = -1;

void onSignal(int number)
{
    // Whatever comes next ends the program the usual way.
    std::signal(number, SIG_DFL);
    const char byte = char(number);
    if (g_wakeFd >= 0)
        (void)!write(g_wakeFd, &byte, 1);
}

} // namespace

EndOnSignal::EndOnSignal(QObject *parent)
    : QObject(parent)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
        return;
    g_wakeFd = fds[0];
    m_notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        while (read(int(m_notifier->socket()), &byte, 1) > 0) {
        }
        emit endRequested();
    });
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

EndOnSignal::~EndOnSignal()
{
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    if (m_notifier) {
        close(g_wakeFd);
        g_wakeFd = -1;
        close(int(m_notifier->socket()));
    }
}
