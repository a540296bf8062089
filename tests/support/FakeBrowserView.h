#pragma once

#include "window/BrowserView.h"

#include <QUrl>
#include <QWidget>

// A browser view without an engine, for windows and dialogs checked offscreen.
class FakeBrowserView : public BrowserView
{
public:
    explicit FakeBrowserView(QWidget *parent = nullptr, bool privately = false)
        : BrowserView(parent), m_widget(new QWidget(parent)), m_private(privately)
    {
    }

    void navigate(const QString &address, History) override
    {
        m_location = address;
        m_site = PageSite::of(QUrl(address));
        emit siteChanged(m_site);
        emit historyChanged();
    }
    void goBack() override {}
    void goForward() override {}
    void reload() override {}
    void stop() override {}
    void run(Command) override {}
    void setTextSize(int) override {}
    void zoom(Zoom) override {}
    QString address() const override { return m_location; }
    QString title() const override { return QString(); }
    PageSite site() const override { return m_site; }
    bool isSilent() const override { return m_silent; }
    void setSilent(bool s) override { m_silent = s; }
    bool isOpenedByPage() const override { return false; }
    void setOpenedByPage(bool) override {}
    bool isPrivate() const override { return m_private; }
    // Its only page stands for its pages.
    QByteArray saveState() const override { return "fake:" + m_location.toUtf8(); }
    bool restoreState(const QByteArray &state) override
    {
        if (!state.startsWith("fake:"))
            return false;
        m_location = QString::fromUtf8(state.mid(5));
        return true;
    }
    QWidget *widget() override { return m_widget; }
    void showFind() override {}

private:
    QWidget *m_widget;
    QString m_location;
    PageSite m_site;
    bool m_silent = false;
    bool m_private = false;
};
