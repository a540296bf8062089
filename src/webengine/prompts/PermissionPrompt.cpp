#include "PermissionPrompt.h"

#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

// Answers of this run, by site and use.
QHash<QPair<QString, int>, bool> &answers()
{
    static QHash<QPair<QString, int>, bool> given;
    return given;
}

QString siteOf(const QUrl &origin)
{
    return origin.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

} // namespace

QString PermissionPrompt::question(const QUrl &origin, QWebEnginePage::Feature feature)
{
    QString use;
    switch (feature) {
    case QWebEnginePage::Notifications: use = QStringLiteral("show notifications"); break;
    case QWebEnginePage::Geolocation: use = QStringLiteral("know your location"); break;
    case QWebEnginePage::MediaAudioCapture: use = QStringLiteral("use your microphone"); break;
    case QWebEnginePage::MediaVideoCapture: use = QStringLiteral("use your camera"); break;
    case QWebEnginePage::MediaAudioVideoCapture: use = QStringLiteral("use your camera and microphone"); break;
    case QWebEnginePage::MouseLock: use = QStringLiteral("hide and hold the mouse pointer"); break;
    case QWebEnginePage::DesktopVideoCapture: use = QStringLiteral("see your screen"); break;
    case QWebEnginePage::DesktopAudioVideoCapture: use = QStringLiteral("see your screen and hear its sound"); break;
    }
    const QString site = origin.host().isEmpty() ? origin.toString() : origin.host();
    return QStringLiteral("%1 wants to %2.").arg(site, use);
}

void PermissionPrompt::ask(QWebEnginePage *page, QWidget *owner, const QUrl &origin, QWebEnginePage::Feature feature)
{
    const QPair<QString, int> key(siteOf(origin), int(feature));
    if (const auto it = answers().constFind(key); it != answers().constEnd()) {
        page->setFeaturePermission(origin, feature, *it ? QWebEnginePage::PermissionGrantedByUser
                                                        : QWebEnginePage::PermissionDeniedByUser);
        return;
    }
    // Not modal: the window stays usable, and a page that gives up its
    // request closes the question.
    auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("Permission"), question(origin, feature),
                                QMessageBox::NoButton, owner);
    box->setObjectName(QStringLiteral("PermissionPrompt"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *allow = box->addButton(QStringLiteral("&Allow"), QMessageBox::AcceptRole);
    QPushButton *deny = box->addButton(QStringLiteral("&Deny"), QMessageBox::RejectRole);
    box->setDefaultButton(deny);
    box->setEscapeButton(deny);
    QPointer<QWebEnginePage> target = page;
    QObject::connect(box, &QMessageBox::finished, box, [box, allow, target, origin, feature, key] {
        const bool granted = box->clickedButton() == allow;
        answers().insert(key, granted);
        if (target)
            target->setFeaturePermission(origin, feature, granted ? QWebEnginePage::PermissionGrantedByUser
                                                                  : QWebEnginePage::PermissionDeniedByUser);
    });
    QObject::connect(page, &QWebEnginePage::featurePermissionRequestCanceled, box,
                     [box, origin, feature](const QUrl &o, QWebEnginePage::Feature f) {
                         if (o == origin && f == feature)
                             box->deleteLater();
                     });
    box->show();
}
