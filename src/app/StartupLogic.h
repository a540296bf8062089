#pragma once

#include <QString>

// What the start-up dialog shows and stores, decided from the settings alone.
struct StartupChoice
{
    enum Option { Continue, Home, Blank };
    bool continueEnabled = false;
    Option selected = Home;
    bool skipDialog = false;
};

StartupChoice chooseStartupDialogState(const QString &lastUrl, const QString &startup, const QString &doStartup);

// The value stored under "Startup" for the selected option.
QString startupValueFor(StartupChoice::Option option);
