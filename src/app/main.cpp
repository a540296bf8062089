#include "BrowserMain.h"
#include "startup/CommandLine.h"
#include "startup/ProfileClaim.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <dlfcn.h>

namespace {

// The browser lives in a module beside the program (in the build) or in
// the library folder (installed). Only the start that owns the profile
// loads it and Qt's GUI and the engine with it: a start that hands its
// addresses over costs what Qt Core costs.
int loadAndRunBrowser(int argc, char **argv, const CommandLine &command, const ProfileFolder &profile)
{
    const QString programDir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
    const QString name = QStringLiteral("/kestrel-browser.so");
    QString module = programDir + name;
    if (!QFileInfo::exists(module))
        module = QDir::cleanPath(programDir + QStringLiteral("/" KESTREL_BROWSER_FROM_BIN) + name);
    void *browser = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_LOCAL);
    const auto run = browser ? reinterpret_cast<RunBrowserFunction>(dlsym(browser, KESTREL_RUN_BROWSER_SYMBOL))
                             : nullptr;
    if (!run) {
        std::fprintf(stderr, "kestrel: the browser cannot be loaded from %s: %s\n", qPrintable(module), dlerror());
        return 1;
    }
    return run(argc, argv, &command, &profile);
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = parseCommandLine(args, QDir::currentPath());
    switch (command.action) {
    case CommandLine::Action::Help: std::fputs(qPrintable(commandLineUsage()), stdout); return 0;
    case CommandLine::Action::Version: std::printf("Kestrel %s\n", KESTREL_VERSION); return 0;
    case CommandLine::Action::Refuse:
        std::fprintf(stderr, "kestrel: %s\n\n%s", qPrintable(command.problem), qPrintable(commandLineUsage()));
        return 2;
    case CommandLine::Action::Browse: break;
    }
    const ProfileFolder profile =
        ProfileFolder::choose(command.profile, qEnvironmentVariable("KESTREL_PROFILE"), QDir::currentPath());
    ProfileClaim claim(profile);
    QString error;
    switch (claim.claim(command.addresses, &error)) {
    case ProfileClaim::Outcome::HandedOver: return 0;
    case ProfileClaim::Outcome::Failed: std::fprintf(stderr, "kestrel: %s\n", qPrintable(error)); return 1;
    case ProfileClaim::Outcome::Owner: break;
    }
    return loadAndRunBrowser(argc, argv, command, profile);
}
