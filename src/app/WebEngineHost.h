#pragma once

#include "profile/EngineContext.h"
#include "window/BrowserHost.h"

// The program's host: every window's view is a web engine view. The program
// and its end-to-end tests start the same way through it.
class WebEngineHost final : public BrowserHost
{
    Q_OBJECT
public:
    // Sets the engine up from the command line and the environment; call
    // before the application object exists.
    static void prepareEngine(int argc, char **argv);

    History *history() override { return m_engine.history(); }

protected:
    BrowserView *makeView(QWidget *parent) override;
    DownloadList *downloads() override;

private:
    EngineContext m_engine;
};
