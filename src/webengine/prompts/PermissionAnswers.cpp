#include "PermissionAnswers.h"

#include "window/PageSite.h"

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

QString PermissionAnswers::question(const QUrl &origin, QWebEnginePage::Feature feature)
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
    return QStringLiteral("%1 wants to %2.").arg(PageSite::of(origin).subject(), use);
}
