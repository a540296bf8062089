#pragma once

#include <QDBusInterface>
#include <QHash>
#include <QObject>
#include <QQueue>

#include <memory>
#include <optional>

class QWebEngineNotification;

// Shows pages' notifications as the desktop's own, through the freedesktop
// notification service on the session bus. A click on one is passed to its
// page, and one closed on the desktop is closed for the page.
//
// A page's text is shown as text: the service may read markup in the body,
// so the body is escaped for one that does. A page that sends a storm of
// them is cut short: a few per site in a while, the rest dropped.
class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    explicit DesktopNotifications(QObject *parent = nullptr);
    ~DesktopNotifications() override;

    // Whether the desktop has a notification service to show them now.
    bool available();
    void present(std::unique_ptr<QWebEngineNotification> notification);

    // How many a site may show in kBurstMs.
    static constexpr int kBurst = 3;
    static constexpr int kBurstMs = 10000;

private slots:
    // The service's signals.
    void onClosed(uint id, uint reason);
    void onAction(uint id, const QString &action);

private:
    bool serviceReadsMarkup();

    QDBusInterface *m_service = nullptr;
    std::optional<bool> m_markup;
    // The shown ones by the service's number, oldest first.
    QHash<uint, std::shared_ptr<QWebEngineNotification>> m_shown;
    QQueue<uint> m_order;
    // When each site last showed one, for the burst limit.
    QHash<QString, QQueue<qint64>> m_recent;
};
