#include "DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDateTime>
#include <QLoggingCategory>
#include <QWebEngineNotification>

Q_LOGGING_CATEGORY(lcNotifications, "kestrel.notifications", QtInfoMsg)

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// The desktop keeps this many of a run's notifications open at most.
constexpr int kMostShown = 20;
// The desktop's own time for a notification to stay.
constexpr int kServerDefaultTimeout = -1;
} // namespace

DesktopNotifications::DesktopNotifications(QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_service = new QDBusInterface(kService, kPath, kService, bus, this);
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this, SLOT(onClosed(uint, uint)));
    bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                SLOT(onAction(uint, QString)));
}

DesktopNotifications::~DesktopNotifications() = default;

bool DesktopNotifications::available()
{
    if (!m_service)
        return false;
    QDBusConnectionInterface *bus = m_service->connection().interface();
    if (!bus)
        return false;
    if (bus->isServiceRegistered(kService))
        return true;
    // A service the bus starts when it is first called.
    const QDBusReply<QStringList> activatable = bus->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(kService);
}

bool DesktopNotifications::serviceReadsMarkup()
{
    if (!m_markup) {
        const QDBusReply<QStringList> caps = m_service->call(QStringLiteral("GetCapabilities"));
        m_markup = !caps.isValid() || caps.value().contains(QStringLiteral("body-markup"));
    }
    return *m_markup;
}

void DesktopNotifications::present(std::unique_ptr<QWebEngineNotification> notification)
{
    if (!m_service)
        return;
    const QString site = notification->origin().host().isEmpty() ? notification->origin().toString()
                                                                  : notification->origin().host();
    QQueue<qint64> &recent = m_recent[site];
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    while (!recent.isEmpty() && now - recent.head() > kBurstMs)
        recent.dequeue();
    if (recent.size() >= kBurst) {
        qCDebug(lcNotifications, "a notification of %s was dropped: too many at once", qPrintable(site));
        return;
    }
    recent.enqueue(now);

    QString body = notification->message();
    if (serviceReadsMarkup())
        body = body.toHtmlEscaped();
    // The site leads, as the page cannot set it.
    const QString summary = QStringLiteral("%1: %2").arg(site, notification->title());
    const QVariantList args{QStringLiteral("Kestrel"), 0u, QString(), summary, body,
                            QStringList{QStringLiteral("default"), QStringLiteral("Open")}, QVariantMap(),
                            kServerDefaultTimeout};
    std::shared_ptr<QWebEngineNotification> shown(notification.release());
    auto *watcher = new QDBusPendingCallWatcher(m_service->asyncCallWithArgumentList(QStringLiteral("Notify"), args),
                                                this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, shown] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            qCWarning(lcNotifications, "a notification was not shown: %s", qPrintable(reply.error().message()));
            return;
        }
        const uint id = reply.value();
        shown->show();
        // The page closes it, and it leaves the desktop too.
        connect(shown.get(), &QWebEngineNotification::closed, this, [this, id] {
            if (m_shown.remove(id))
                m_service->asyncCall(QStringLiteral("CloseNotification"), id);
        });
        m_shown.insert(id, shown);
        m_order.enqueue(id);
        while (m_order.size() > kMostShown) {
            const uint oldest = m_order.dequeue();
            if (m_shown.remove(oldest))
                m_service->asyncCall(QStringLiteral("CloseNotification"), oldest);
        }
    });
}

void DesktopNotifications::onClosed(uint id, uint)
{
    if (const std::shared_ptr<QWebEngineNotification> shown = m_shown.take(id))
        shown->close();
    m_order.removeAll(id);
}

void DesktopNotifications::onAction(uint id, const QString &action)
{
    if (action != QLatin1String("default"))
        return;
    if (const std::shared_ptr<QWebEngineNotification> shown = m_shown.value(id))
        shown->click();
}
