#include "StartupLogic.h"

StartupChoice chooseStartupDialogState(const QString &lastUrl, const QString &startup, const QString &doStartup)
{
    StartupChoice c;
    c.continueEnabled = !lastUrl.isEmpty() && lastUrl != QLatin1String("about:blank");
    if (startup == QLatin1String("Continue"))
        c.selected = StartupChoice::Continue;
    else if (startup == QLatin1String("Blank"))
        c.selected = StartupChoice::Blank;
    else
        c.selected = StartupChoice::Home;
    c.skipDialog = doStartup == QLatin1String("False");
    return c;
}

QString startupValueFor(StartupChoice::Option option)
{
    switch (option) {
    case StartupChoice::Continue: return QStringLiteral("Continue");
    case StartupChoice::Blank: return QStringLiteral("Blank");
    case StartupChoice::Home: break;
    }
    return QStringLiteral("Home");
}
