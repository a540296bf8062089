#pragma once

#include "browser/BrowserView.h"

#include <QWidget>

// A browser view without an engine, for windows and dialogs checked offscreen.
class FakeBrowserView : public BrowserView
{
public:
    explicit FakeBrowserView(QWidget *parent = nullptr) : BrowserView(parent), m_widget(new QWidget(parent)) {}

    void Navigate(const QString &url) override { m_location = url; }
    void Navigate2(const QString &url, int) override { m_location = url; }
    void GoBack() override {}
    void GoForward() override {}
    void Refresh() override {}
    void Stop() override {}
    void ExecWB(int, int, const QVariant &) override {}
    QString LocationURL() const override { return m_location; }
    QString LocationName() const override { return QString(); }
    bool Silent() const override { return m_silent; }
    void setSilent(bool s) override { m_silent = s; }
    bool RegisterAsBrowser() const override { return false; }
    void setRegisterAsBrowser(bool) override {}
    QWidget *widget() override { return m_widget; }
    void showFind() override {}

private:
    QWidget *m_widget;
    QString m_location;
    bool m_silent = false;
};
