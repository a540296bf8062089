#include "CommandLine.h"

#include <QUrl>

QStringList addressesFromArguments(const QStringList &args, const QString &workingDir)
{
    QStringList out;
    for (const QString &arg : args) {
        if (arg.isEmpty() || arg.startsWith(QLatin1Char('-')))
            continue;
        const QUrl url = QUrl::fromUserInput(arg, workingDir, QUrl::AssumeLocalFile);
        out << (url.isValid() ? url.toString() : arg);
    }
    return out;
}
