#pragma once

#include "window/BrowserView.h"

#include <QWidget>

// A browser view without an engine, for windows and dialogs checked offscreen.
class FakeBrowserView : public BrowserView
{
public:
    explicit FakeBrowserView(QWidget *parent = nullptr) : BrowserView(parent), m_widget(new QWidget(parent)) {}

    void navigate(const QString &address, History) override { m_location = address; }
    void goBack() override {}
    void goForward() override {}
    void reload() override {}
    void stop() override {}
    void run(Command) override {}
    void setTextSize(int) override {}
    void zoom(Zoom) override {}
    QString address() const override { return m_location; }
    QString title() const override { return QString(); }
    bool isSilent() const override { return m_silent; }
    void setSilent(bool s) override { m_silent = s; }
    bool isOpenedByPage() const override { return false; }
    void setOpenedByPage(bool) override {}
    QWidget *widget() override { return m_widget; }
    void showFind() override {}

private:
    QWidget *m_widget;
    QString m_location;
    bool m_silent = false;
};
