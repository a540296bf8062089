#include "PermissionPrompt.h"

#include "common/MessageBoxes.h"

#include <QPointer>
#include <QPushButton>

namespace {

QPair<QString, int> keyOf(const QUrl &origin, QWebEnginePage::Feature feature)
{
    return {origin.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString(), int(feature)};
}

} // namespace

std::optional<bool> PermissionAnswers::answer(const QUrl &origin, QWebEnginePage::Feature feature) const
{
    const auto it = m_given.constFind(keyOf(origin, feature));
    if (it == m_given.constEnd())
        return std::nullopt;
    return *it;
}

void PermissionAnswers::remember(const QUrl &origin, QWebEnginePage::Feature feature, bool granted)
{
    m_given.insert(keyOf(origin, feature), granted);
}

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

void PermissionPrompt::ask(PermissionAnswers &answers, QWebEnginePage *page, QWidget *owner, const QUrl &origin,
                           QWebEnginePage::Feature feature)
{
    if (const std::optional<bool> given = answers.answer(origin, feature)) {
        page->setFeaturePermission(origin, feature, *given ? QWebEnginePage::PermissionGrantedByUser
                                                           : QWebEnginePage::PermissionDeniedByUser);
        return;
    }
    // Not modal: the window stays usable, and a page that gives up its
    // request closes the question.
    QMessageBox *box = newMessageBox(owner, QMessageBox::Question, QStringLiteral("Permission"),
                                     question(origin, feature), QStringLiteral("PermissionPrompt"),
                                     QMessageBox::NoButton);
    QPushButton *allow = box->addButton(QStringLiteral("&Allow"), QMessageBox::AcceptRole);
    QPushButton *deny = box->addButton(QStringLiteral("&Deny"), QMessageBox::RejectRole);
    box->setDefaultButton(deny);
    box->setEscapeButton(deny);
    QPointer<QWebEnginePage> target = page;
    QObject::connect(box, &QMessageBox::finished, box, [box, allow, target, origin, feature, &answers] {
        const bool granted = box->clickedButton() == allow;
        answers.remember(origin, feature, granted);
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
