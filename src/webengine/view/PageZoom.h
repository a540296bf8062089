#pragma once

#include "window/BrowserView.h"

#include <QObject>
#include <QString>

class QUrl;
class QWebEngineView;
class SiteZoomStore;

// One view's zoom: the factor its site keeps in the store, times the text
// size its window chose. It follows the page from site to site, and the
// store when another window zooms the same site; Ctrl and the wheel over the
// page step it as the keys do.
class PageZoom : public QObject
{
    Q_OBJECT
public:
    PageZoom(QWebEngineView *view, SiteZoomStore &store, QObject *parent);

    // Text size from 0 (smallest) to 4 (largest); 2 is the page's own.
    void setTextSize(int level);
    void step(BrowserView::Zoom step);

signals:
    // The user zoomed the site to `percent`.
    void zoomed(int percent);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void followSite(const QUrl &url);
    void siteChanged(const QString &site);
    void apply();

    QWebEngineView *m_view;
    SiteZoomStore &m_store;
    QString m_site;
    double m_siteZoom = 1.0;
    double m_textSize = 1.0;
    int m_wheel = 0; // wheel turns not yet a whole step
};
