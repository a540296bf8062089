#pragma once

#include <QWebEngineUrlRequestInterceptor>

class QWebEngineProfile;

// Keeps a page opened from a file (a saved attachment, say) from reading the
// user's other files. The engine lets local pages load local files only when
// it also lets them read one another, so the loads are sorted here: a local
// page still shows its images, styles, scripts, fonts and media and its links
// still open, but its XMLHttpRequest, fetch, frames and objects get no file.
//
// Every request the guard sees waits for the GUI thread, so it watches the
// profile only while a page that has shown a local file lives; pages from
// the network alone load at the engine's own speed.
class LocalFileGuard : public QWebEngineUrlRequestInterceptor
{
public:
    explicit LocalFileGuard(QWebEngineProfile *profile);

    // A page of the profile has shown a local file (on), or that page has
    // gone (off).
    void pageShowsFiles(bool on);
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    QWebEngineProfile *m_profile;
    int m_pages = 0;
};
