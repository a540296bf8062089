#pragma once

#include "FakeBrowserView.h"
#include "MainWindows.h"
#include "TempIni.h"

#include "window/BrowserHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// The program's host with views that need no engine.
class FakeHost : public BrowserHost
{
public:
    using BrowserHost::BrowserHost;
    // What the end of the run's event loop does.
    using BrowserHost::endOfRun;

protected:
    BrowserView *makeView(QWidget *parent, bool privately) override { return new FakeBrowserView(parent, privately); }
};

inline void useFakeViews()
{
    static FakeHost host;
    testHost() = &host;
}
