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
    // Windows on the same site share one page process: a new window on the
    // current page starts sooner, and each further window costs less.
    t.chromiumFlags += " --process-per-site";
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
