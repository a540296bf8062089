#include "EngineTuning.h"


namespace {

bool hasSwitch(const QList<QByteArray> &switches, const char *name)
{
    return switches.contains(QByteArray(name));
}

} // namespace

EngineTuning chooseEngineTuning(const QByteArray &envFlags, const QStringList &switches, bool sandboxDisabled,
                                bool sceneBackendChosen)
{
    QList<QByteArray> given = envFlags.simplified().split(' ');
    EngineTuning t;
    t.chromiumFlags = envFlags.simplified();
    // The engine reads its switches from the command line only when the
    // variable is not set, and Kestrel always sets it: they go in there.
    for (const QString &s : switches) {
        given << s.toUtf8();
        t.chromiumFlags += ' ' + s.toUtf8();
    }
    // Each window keeps a page process of its own, as the engine does by
    // default. Windows of one site sharing one process cost less while they
    // are open (20 windows: about 290 MB against 590 MB), but a page that
    // hangs then freezes every window of its site, and the shared process
    // keeps what closed windows held (1.6 times a fresh window's memory after
    // 100 windows opened and closed, against 1.1 times with a process each).

    // Without the sandbox the zygote processes have nothing to guard and
    // only hold memory; pages are started directly instead.
    if (sandboxDisabled || hasSwitch(given, "--no-sandbox"))
        t.chromiumFlags += " --no-zygote";
    t.chromiumFlags = t.chromiumFlags.trimmed();
    // With the GPU off the engine already paints pages in software. Handing
    // those frames to an OpenGL scene only adds a texture upload and a
    // software-emulated composite of the whole window on every frame, which
    // made windows slower to appear and heavier than a plain view.
    t.softwareScene = !sceneBackendChosen && hasSwitch(given, "--disable-gpu");
    return t;
}
