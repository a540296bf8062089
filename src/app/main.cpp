#include "EndOnSignal.h"
#include "ProfileInstance.h"
#include "WebEngineHost.h"
#include "startup/CommandLine.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>

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

    // One Kestrel per profile: a later start hands its addresses over and
    // ends before it loads the engine.
    const ProfileFolder profile =
        ProfileFolder::choose(command.profile, qEnvironmentVariable("KESTREL_PROFILE"), QDir::currentPath());
    ProfileInstance instance(profile);
    QString error;
    switch (instance.claim(command.addresses, &error)) {
    case ProfileInstance::Claim::HandedOver: return 0;
    case ProfileInstance::Claim::Failed: std::fprintf(stderr, "kestrel: %s\n", qPrintable(error)); return 1;
    case ProfileInstance::Claim::Owner: break;
    }

    WebEngineHost::prepareEngine(command.engineSwitches);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/kestrel/Logo.bmp")));
    if (!instance.listen(&error))
        std::fprintf(stderr, "kestrel: later starts cannot reach this one: %s\n", qPrintable(error));
    WebEngineHost host(profile);
    QObject::connect(&instance, &ProfileInstance::openRequested, &host, &BrowserHost::openHandedOver);
    EndOnSignal ending;
    QObject::connect(&ending, &EndOnSignal::endRequested, &host, &BrowserHost::endRun);
    host.start(command.addresses);
    return app.exec();
}
