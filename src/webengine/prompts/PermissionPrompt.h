#pragma once

#include <QUrl>
#include <QWebEnginePage>

// Asks the user, naming the site, before a page may use notifications, the
// location, the camera, the microphone, the screen or the mouse pointer.
// The answer holds for that site and that use until the program ends, and
// every request is answered: closing the question denies it, so no page
// waits for ever.
class PermissionPrompt
{
public:
    static void ask(QWebEnginePage *page, QWidget *owner, const QUrl &origin, QWebEnginePage::Feature feature);

    // The question as the user reads it, e.g. "127.0.0.1 wants to use your camera."
    static QString question(const QUrl &origin, QWebEnginePage::Feature feature);
};
