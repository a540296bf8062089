#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The windows of a run as they are kept in the profile folder, so that the
// next start can bring them back: each window's place and size and its
// view's back/forward list, both as the window and the view wrote them.
struct Session
{
    struct Window
    {
        QByteArray geometry; // the window's place, size and state
        QByteArray view;     // the view's own state: its pages
    };

    // Written by a run that had not yet ended: found so at the next start,
    // that run crashed or was killed.
    bool running = false;
    QList<Window> windows;

    QByteArray encode() const;
    // Nothing for bytes that are not a whole session of this format.
    static std::optional<Session> decode(const QByteArray &bytes);

    // The session kept at `path`; nothing when there is none or it is
    // damaged (which is logged).
    static std::optional<Session> load(const QString &path);
    // Replaces the file at `path` in one step: a reader, or the next start
    // after a crash, finds the old session or the new one, never half of one.
    bool save(const QString &path, QString *error = nullptr) const;
};
