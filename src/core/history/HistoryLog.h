#pragma once

#include <QLoggingCategory>

// History is kept in the background: its failures have nobody to tell but the log.
Q_DECLARE_LOGGING_CATEGORY(lcHistory)
