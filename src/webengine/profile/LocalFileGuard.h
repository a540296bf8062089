#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Keeps a page opened from a file (a saved attachment, say) from reading the
// user's other files. The engine lets local pages load local files only when
// it also lets them read one another, so the loads are sorted here: a local
// page still shows its images, styles, scripts, fonts and media and its links
// still open, but its XMLHttpRequest, fetch, frames and objects get no file.
class LocalFileGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};
