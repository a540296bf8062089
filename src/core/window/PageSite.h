#pragma once

#include <QString>
#include <QUrl>

// Where the page a window shows comes from, as the engine committed it: what
// the window names as the page's site where the page cannot write. It is
// made from the committed address alone (and the run's certificate
// exceptions), never from anything the page wrote.
struct PageSite
{
    enum class Kind {
        None,                 // no page yet, or a blank one
        Secure,               // https with a certificate the computer trusts
        NotSecure,            // http, or another scheme nobody encrypts
        UntrustedCertificate, // https the user chose to open despite its certificate
        File,                 // a file on this computer
        Program,              // one of Kestrel's own pages
    };

    Kind kind = Kind::None;
    // The host (with a port other than the scheme's own) or a file's path,
    // with control and direction characters shown as U+FFFD: a file name
    // cannot break the line or turn the text around.
    QString name;

    // `certificateException`: the user chose to open this host although its
    // certificate is not trusted.
    static PageSite of(const QUrl &committed, bool certificateException = false);
    // The origin of `url` (scheme, host and port) that a site's answers are
    // kept by, without user name, path, query or fragment.
    static QString originOf(const QUrl &url);

    // What goes before the name: "https://", "Not secure: "...
    QString prefix() const;
    // Who asks, as a sentence names it: the site's name, or "This page" for
    // a file or a page without one.
    QString subject() const;
    QString text() const { return prefix() + name; }

    bool operator==(const PageSite &o) const { return kind == o.kind && name == o.name; }
};
