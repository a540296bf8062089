#pragma once

#include <QHash>
#include <QUrl>
#include <QWebEnginePage>

#include <optional>

// The user's answers of this run, by site and use: once given, they answer
// that site's later requests for that use until the program ends.
class PermissionAnswers
{
public:
    std::optional<bool> answer(const QUrl &origin, QWebEnginePage::Feature feature) const;
    void remember(const QUrl &origin, QWebEnginePage::Feature feature, bool granted);

    // The question as the user reads it, e.g. "127.0.0.1 wants to use your camera."
    static QString question(const QUrl &origin, QWebEnginePage::Feature feature);

private:
    QHash<QPair<QString, int>, bool> m_given;
};
