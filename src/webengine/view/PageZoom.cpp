#include "PageZoom.h"

#include "zoom/SiteZoomStore.h"
#include "zoom/ZoomSteps.h"

#include <QWebEngineView>
#include <QWheelEvent>

#include <cmath>
#include <iterator>

namespace {
// The text sizes, smallest to largest; the middle one is the page's own.
constexpr double kTextSizes[] = {0.6, 0.8, 1.0, 1.25, 1.6};
constexpr int kLargestTextSize = int(std::size(kTextSizes)) - 1;
// What the engine accepts; a small site zoom on the smallest text goes below.
constexpr double kEngineSmallest = 0.25;
constexpr double kEngineLargest = 5.0;
// One notch of a wheel.
constexpr int kWheelStep = 120;
} // namespace

PageZoom::PageZoom(QWebEngineView *view, SiteZoomStore &store, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_store(store)
{
    connect(view, &QWebEngineView::urlChanged, this, &PageZoom::followSite);
    connect(&store, &SiteZoomStore::changed, this, &PageZoom::siteChanged);
    view->installEventFilter(this);
    for (QWidget *child : view->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->installEventFilter(this);
}

void PageZoom::setTextSize(int level)
{
    m_textSize = kTextSizes[qBound(0, level, kLargestTextSize)];
    apply();
}

void PageZoom::step(BrowserView::Zoom step)
{
    switch (step) {
    case BrowserView::Zoom::In: m_siteZoom = ZoomSteps::larger(m_siteZoom); break;
    case BrowserView::Zoom::Out: m_siteZoom = ZoomSteps::smaller(m_siteZoom); break;
    case BrowserView::Zoom::Reset: m_siteZoom = 1.0; break;
    }
    QString error;
    if (!m_site.isEmpty() && !m_store.store(m_site, m_siteZoom, &error))
        qCWarning(lcZoom) << "the zoom of" << m_site << "is not kept:" << error;
    apply();
    emit zoomed(int(std::lround(m_siteZoom * 100)));
}

bool PageZoom::eventFilter(QObject *watched, QEvent *e)
{
    // The engine draws each page in a widget of the view's own, made anew
    // as pages change process; that widget takes the wheel.
    if (watched == m_view && e->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(e)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    // The engine would zoom on its own, in steps of its own and forgotten
    // with the page.
    if (watched != m_view && e->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(e);
        if (wheel->modifiers() == Qt::ControlModifier) {
            m_wheel += wheel->angleDelta().y();
            while (std::abs(m_wheel) >= kWheelStep) {
                step(m_wheel > 0 ? BrowserView::Zoom::In : BrowserView::Zoom::Out);
                m_wheel -= m_wheel > 0 ? kWheelStep : -kWheelStep;
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, e);
}

void PageZoom::followSite(const QUrl &url)
{
    const QString site = SiteZoomStore::siteOf(url);
    if (site == m_site)
        return;
    m_site = site;
    // A page without a site keeps the zoom it was given until the next site.
    if (!site.isEmpty())
        m_siteZoom = m_store.zoom(site);
    apply();
}

void PageZoom::siteChanged(const QString &site)
{
    if (m_site.isEmpty() || (!site.isEmpty() && site != m_site))
        return;
    m_siteZoom = m_store.zoom(m_site);
    apply();
}

void PageZoom::apply()
{
    const double factor = qBound(kEngineSmallest, m_siteZoom * m_textSize, kEngineLargest);
    if (std::abs(m_view->zoomFactor() - factor) > 0.001)
        m_view->setZoomFactor(factor);
}
