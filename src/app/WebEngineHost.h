#pragma once

#include "profile/EngineContext.h"
#include "window/BrowserHost.h"

// The program's host: every window's view is a web engine view. The program
// and its end-to-end tests start the same way through it.
class WebEngineHost final : public BrowserHost
{
    Q_OBJECT
public:
    // The engine keeps its data in `profile`: the user's default profile
    // unless the program was asked for another.
    explicit WebEngineHost(const ProfileFolder &profile = ProfileFolder::choose(QString(), QString(), QString()));

    // Sets the engine up from its switches on the command line and the
    // environment; call before the application object exists.
    static void prepareEngine(const QStringList &engineSwitches);
    // The same from the arguments main() got.
    static void prepareEngine(int argc, char **argv);

    History *history() override { return m_engine.history(); }

protected:
    BrowserView *makeView(QWidget *parent, bool privately) override;
    DownloadList *downloads() override;
    void endOfRun() override;

private:
    EngineContext m_engine;
};
