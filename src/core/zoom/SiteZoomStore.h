#pragma once

#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

class QUrl;

// A zoom that cannot be kept has nobody to tell but the log: the user sees
// the page zoomed all the same.
Q_DECLARE_LOGGING_CATEGORY(lcZoom)

// The zoom each site was last shown at, so that it opens again as the user
// left it: one small file, replaced in one step at each change. A store
// without a file (a private profile's) forgets when the run ends.
class SiteZoomStore : public QObject
{
    Q_OBJECT
public:
    // Nothing is read or written when `path` is empty.
    explicit SiteZoomStore(const QString &path = QString(), QObject *parent = nullptr);

    // Reads the file afresh. A missing file is an empty store; one that
    // cannot be read leaves the store empty and says why. A store without
    // a file keeps what it has.
    bool load(QString *error);
    // The factor kept for the site, 1 when none is.
    double zoom(const QString &site) const;
    // Keeps `factor` for the site (1 forgets it) and writes the file. The
    // factor counts for the run even when it cannot be written.
    bool store(const QString &site, double factor, QString *error);
    // Forgets every site.
    bool clear(QString *error);

    // The site a page's zoom belongs to: its host; none for pages without
    // one (blank pages, files, Kestrel's own).
    static QString siteOf(const QUrl &url);

signals:
    // The factor of `site` changed; of every site when it is empty.
    void changed(const QString &site);

private:
    bool write(QString *error);

    QString m_path;
    QHash<QString, double> m_zoom;
};
