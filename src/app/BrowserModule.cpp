#include "BrowserMain.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int kestrelRunBrowser(int argc, char **argv, const CommandLine *command,
                                               const ProfileFolder *profile)
{
    return runBrowser(argc, argv, *command, *profile);
}
