#pragma once

#include <QString>

class QWebEngineLoadingInfo;

// What the status bar says at each turn of a page load: opening, done,
// stopped by the user, or failed with the engine's reason in words.
QString loadStatusText(const QWebEngineLoadingInfo &info);
