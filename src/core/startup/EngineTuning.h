#pragma once

#include <QByteArray>
#include <QStringList>

// What Kestrel asks of the web engine beyond its defaults.
struct EngineTuning
{
    QByteArray chromiumFlags; // the engine's switches, the caller's first
    bool softwareScene = false; // draw the view without OpenGL
};

// Decides the tuning from the switches already given to the engine (its
// environment variable, and those on the command line, which are passed on),
// whether the sandbox is off, and whether the user already picked how Qt
// Quick draws.
EngineTuning chooseEngineTuning(const QByteArray &envFlags, const QStringList &switches, bool sandboxDisabled,
                                bool sceneBackendChosen);
