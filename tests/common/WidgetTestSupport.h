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

inline FakeBrowserView *fakeOf(frmMain *w)
{
    return static_cast<FakeBrowserView *>(w->Browser);
}

// Answers the next message box with `button` once it shows, and records its
// title and text.
struct MessageBoxAnswer
{
    QString title, text;
    bool seen = false;
    void arm(QMessageBox::StandardButton button)
    {
        QTimer::singleShot(0, [this, button] { answer(button); });
    }

private:
    void answer(QMessageBox::StandardButton button)
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [this, button] { answer(button); });
            return;
        }
        seen = true;
        title = box->windowTitle();
        text = box->text();
        defaultIsYes = static_cast<QAbstractButton *>(box->defaultButton()) == box->button(QMessageBox::Yes);
        noIcon = box->icon() == QMessageBox::NoIcon;
        box->button(button)->click();
    }

public:
    bool defaultIsYes = false;
    bool noIcon = false;
};

// Points QSettings at a private folder for the life of the object.
struct TempUserSettings
{
    TempUserSettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    void setHome(const QString &url)
    {
        QSettings(QStringLiteral("Kestrel"), QStringLiteral("Kestrel")).setValue(QStringLiteral("Settings/Home"), url);
    }
    QTemporaryDir dir;
};
