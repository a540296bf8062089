#include "WebEngineHost.h"
#include "startup/CommandLine.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char **argv)
{
    WebEngineHost::prepareEngine(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/kestrel/Logo.bmp")));
    WebEngineHost host;
    host.start(addressesFromArguments(app.arguments().mid(1), QDir::currentPath()));
    return app.exec();
}
