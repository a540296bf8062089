#pragma once

#include "browser/BrowserView.h"

#include <QStringList>
#include <QWidget>

// A browser view that records what the window asks of it and lets a test
// raise the events a page would.
class FakeBrowserView : public BrowserView
{
public:
    explicit FakeBrowserView(QWidget *parent = nullptr)
        : BrowserView(parent), m_widget(new QWidget(parent))
    {
        m_widget->setFocusPolicy(Qt::StrongFocus);
    }

    void Navigate(const QString &url) override
    {
        calls << QStringLiteral("Navigate:") + url;
        location = url;
    }
    void Navigate2(const QString &url, int flags) override
    {
        calls << QStringLiteral("Navigate2:%1:%2").arg(url).arg(flags);
        location = url;
    }
    void GoBack() override { calls << QStringLiteral("GoBack"); }
    void GoForward() override { calls << QStringLiteral("GoForward"); }
    void Refresh() override { calls << QStringLiteral("Refresh"); }
    void Stop() override { calls << QStringLiteral("Stop"); }
    void ExecWB(int command, int option, const QVariant &input) override
    {
        calls << QStringLiteral("ExecWB:%1:%2:%3").arg(command).arg(option).arg(input.toString());
    }
    QString LocationURL() const override { return location; }
    QString LocationName() const override { return title; }
    bool Silent() const override { return silent; }
    void setSilent(bool s) override { silent = s; }
    bool RegisterAsBrowser() const override { return registered; }
    void setRegisterAsBrowser(bool on) override { registered = on; }
    QWidget *widget() override { return m_widget; }
    void showFind() override { calls << QStringLiteral("showFind"); }

    // What a page's window.open would do: returns the view it opened in.
    BrowserView *requestNewWindow(bool *cancelled)
    {
        BrowserView *target = nullptr;
        bool cancel = false;
        emit NewWindow2(&target, &cancel);
        *cancelled = cancel;
        return cancel ? nullptr : target;
    }

    QStringList calls;
    QString location;
    QString title;
    bool silent = false;
    bool registered = false;

private:
    QWidget *m_widget;
};

