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
protected:
    BrowserView *makeView(QWidget *parent) override { return new FakeBrowserView(parent); }
};

inline void useFakeViews()
{
    static FakeHost host;
    testHost() = &host;
}
