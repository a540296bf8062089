#include "SiteZoomStore.h"

#include "ZoomSteps.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUrl>

#include <cmath>

Q_LOGGING_CATEGORY(lcZoom, "kestrel.zoom")

namespace {

// A factor this close to 1 is the page's own size, not worth keeping.
bool isActualSize(double factor)
{
    return std::abs(factor - 1.0) < 0.001;
}

} // namespace

SiteZoomStore::SiteZoomStore(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
}

bool SiteZoomStore::load(QString *error)
{
    // Without a file there is nothing to read afresh: what the run keeps is
    // all there is.
    if (m_path.isEmpty())
        return true;
    m_zoom.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = m_path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isObject()) {
        if (error)
            *error = m_path + QStringLiteral(": ") + parse.errorString();
        return false;
    }
    const QJsonObject sites = doc.object();
    for (auto it = sites.begin(); it != sites.end(); ++it) {
        // The file is ours, but a hand or a crash may have spoilt a value.
        const double factor = it.value().toDouble(1.0);
        if (!it.key().isEmpty() && std::isfinite(factor) && !isActualSize(factor))
            m_zoom.insert(it.key(), ZoomSteps::bounded(factor));
    }
    return true;
}

double SiteZoomStore::zoom(const QString &site) const
{
    return m_zoom.value(site, 1.0);
}

bool SiteZoomStore::store(const QString &site, double factor, QString *error)
{
    if (site.isEmpty())
        return true;
    // Another run with the same profile may have kept other sites meanwhile.
    QString readError;
    const QHash<QString, double> before = m_zoom;
    if (!load(&readError))
        m_zoom = before;
    factor = ZoomSteps::bounded(factor);
    if (isActualSize(factor))
        m_zoom.remove(site);
    else
        m_zoom.insert(site, factor);
    const bool written = write(error);
    emit changed(site);
    return written;
}

bool SiteZoomStore::clear(QString *error)
{
    m_zoom.clear();
    const bool written = write(error);
    emit changed(QString());
    return written;
}

bool SiteZoomStore::write(QString *error)
{
    if (m_path.isEmpty())
        return true;
    QJsonObject sites;
    for (auto it = m_zoom.cbegin(); it != m_zoom.cend(); ++it)
        sites.insert(it.key(), it.value());
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(sites).toJson()) < 0 || !file.commit()) {
        if (error)
            *error = m_path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

QString SiteZoomStore::siteOf(const QUrl &url)
{
    // The source of a page is zoomed as the page is.
    if (url.scheme() == QLatin1String("view-source"))
        return siteOf(QUrl(url.path()));
    return url.host();
}
