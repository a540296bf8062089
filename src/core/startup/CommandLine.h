#pragma once

#include <QString>
#include <QStringList>

// The addresses the program was started with (`kestrel URL...`, as a desktop
// hands over links and files), each ready for the view. Switches for Qt or
// the engine are not addresses; a file name counts from `workingDir`.
QStringList addressesFromArguments(const QStringList &args, const QString &workingDir);
