#pragma once

#include <QHash>
#include <optional>
#include <QUrl>
#include <QWebEnginePage>

// The user's answers of this run, by site and use.
class PermissionAnswers
{
public:
    std::optional<bool> answer(const QUrl &origin, QWebEnginePage::Feature feature) const;
    void remember(const QUrl &origin, QWebEnginePage::Feature feature, bool granted);

private:
    QHash<QPair<QString, int>, bool> m_given;
};

// Asks the user, naming the site, before a page may use notifications, the
// location, the camera, the microphone, the screen or the mouse pointer.
// The answer holds for that site and that use until the program ends, and
// every request is answered: closing the question denies it, so no page
// waits for ever.
class PermissionPrompt
{
public:
    static void ask(PermissionAnswers &answers, QWebEnginePage *page, QWidget *owner, const QUrl &origin,
                    QWebEnginePage::Feature feature);

    // The question as the user reads it, e.g. "127.0.0.1 wants to use your camera."
    static QString question(const QUrl &origin, QWebEnginePage::Feature feature);
};
