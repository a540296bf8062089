#pragma once

#include <QLoggingCategory>

// Work on the settings file that no user waits for (the last page's address
// written after a load) has nobody to tell but the log.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
