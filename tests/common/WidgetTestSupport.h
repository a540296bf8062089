#pragma once

#include "FakeBrowserView.h"
#include "MainWindows.h"
#include "TempIni.h"

#include "app/MainWindowSteps.h"
#include "browser/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <QtTest>

inline void useFakeViews()
{
    frmMain::viewFactory() = [](QWidget *parent) -> BrowserView * { return new FakeBrowserView(parent); };
    InstallMainWindowHooks();
}
