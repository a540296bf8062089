#include "LocalFileGuard.h"

#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>

namespace {

bool isFile(const QUrl &url)
{
    return url.scheme() == QLatin1String("file");
}

// What a page shows without its script getting the bytes, and the page's
// own navigation, which replaces it.
bool isShownOnly(QWebEngineUrlRequestInfo::ResourceType type)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return true;
    default:
        return false;
    }
}

} // namespace

LocalFileGuard::LocalFileGuard(QWebEngineProfile *profile)
    : QWebEngineUrlRequestInterceptor(profile)
    , m_profile(profile)
{
}

void LocalFileGuard::pageShowsFiles(bool on)
{
    m_pages += on ? 1 : -1;
    if (m_pages == (on ? 1 : 0))
        m_profile->setUrlRequestInterceptor(on ? this : nullptr);
}

void LocalFileGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (isFile(info.requestUrl()) && isFile(info.initiator()) && !isShownOnly(info.resourceType()))
        info.block(true);
}
