#include "BrowserMain.h"

#include "EndOnSignal.h"
#include "HandOverServer.h"
#include "WebEngineHost.h"
#include "startup/CommandLine.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int runBrowser(int argc, char **argv, const CommandLine &command, const ProfileFolder &profile)
{
    WebEngineHost::prepareEngine(command.engineSwitches);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/kestrel/Logo.bmp")));
    HandOverServer laterStarts(profile);
    QString error;
    if (!laterStarts.listen(&error))
        std::fprintf(stderr, "kestrel: later starts cannot reach this one: %s\n", qPrintable(error));
    WebEngineHost host(profile);
    QObject::connect(&laterStarts, &HandOverServer::openRequested, &host, &BrowserHost::openHandedOver);
    EndOnSignal ending;
    QObject::connect(&ending, &EndOnSignal::endRequested, &host, &BrowserHost::endRun);
    host.start(command.addresses);
    return app.exec();
}
