#include "CommandLine.h"

#include <QUrl>


namespace {

// Qt's own options that take the next argument as their value; Qt reads them
// with one dash or two, and the application object removes them.
const char *const kQtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowtitle",
    "title", "qwindowicon", "icon", "display", "name", "session", "style", "stylesheet",
};
// Qt's own options that stand alone, or carry their value after '='.
const char *const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "testability", "sync"};
const char *const kQtOptionsWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};

// The web engine's switches that its documentation names for users; any
// other switch goes after --webEngineArgs.
const char *const kEngineSwitches[] = {
    "disable-gpu", "no-sandbox", "single-process", "enable-logging", "disable-logging",
    "enable-webgl-software-rendering", "ignore-gpu-blocklist", "no-proxy-server", "touch-events",
};
const char *const kEngineSwitchesWithValue[] = {
    "remote-debugging-port=", "log-level=", "v=", "lang=", "proxy-server=", "enable-features=",
    "disable-features=", "blink-settings=", "touch-events=",
};

template <size_t N>
bool isOneOf(const QString &name, const char *const (&names)[N])
{
    for (const char *n : names) {
        if (name == QLatin1String(n))
            return true;
    }
    return false;
}

template <size_t N>
bool startsWithOneOf(const QString &name, const char *const (&prefixes)[N])
{
    for (const char *p : prefixes) {
        if (name.startsWith(QLatin1String(p)))
            return true;
    }
    return false;
}

QString addressOf(const QString &arg, const QString &workingDir)
{
    const QUrl url = QUrl::fromUserInput(arg, workingDir, QUrl::AssumeLocalFile);
    return url.isValid() ? url.toString() : arg;
}

} // namespace

CommandLine parseCommandLine(const QStringList &args, const QString &workingDir)
{
    CommandLine out;
    bool help = false, version = false;
    auto refuse = [&out](const QString &problem) {
        if (out.problem.isEmpty())
            out.problem = problem;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg.isEmpty())
            continue;
        if (arg == QLatin1String("--")) {
            for (++i; i < args.size(); ++i) {
                if (!args[i].isEmpty())
                    out.addresses << addressOf(args[i], workingDir);
            }
            break;
        }
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            if (arg == QLatin1String("-"))
                refuse(QStringLiteral("unknown option '-'"));
            else
                out.addresses << addressOf(arg, workingDir);
            continue;
        }
        if (arg == QLatin1String("--webEngineArgs")) {
            out.engineSwitches << args.mid(i + 1);
            break;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            help = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            version = true;
            continue;
        }
        if (arg == QLatin1String("--profile") || arg.startsWith(QLatin1String("--profile="))) {
            const bool joined = arg.contains(QLatin1Char('='));
            if (!joined && i + 1 >= args.size()) {
                refuse(QStringLiteral("option '--profile' needs a folder"));
                continue;
            }
            out.profile = joined ? arg.mid(arg.indexOf(QLatin1Char('=')) + 1) : args[++i];
            if (out.profile.isEmpty())
                refuse(QStringLiteral("option '--profile' needs a folder"));
            continue;
        }
        const QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        if (arg.startsWith(QLatin1String("--"))
            && (isOneOf(name, kEngineSwitches) || startsWithOneOf(name, kEngineSwitchesWithValue))) {
            out.engineSwitches << arg;
            continue;
        }
        if (isOneOf(name, kQtOptionsWithValue)) {
            ++i; // its value is Qt's too
            continue;
        }
        if (isOneOf(name, kQtFlags) || startsWithOneOf(name, kQtOptionsWithEquals))
            continue;
        refuse(QStringLiteral("unknown option '%1'").arg(arg));
    }
    if (!out.problem.isEmpty())
        out.action = CommandLine::Action::Refuse;
    else if (help)
        out.action = CommandLine::Action::Help;
    else if (version)
        out.action = CommandLine::Action::Version;
    return out;
}

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: kestrel [OPTION...] [--] [ADDRESS|FILE...]\n"
        "Opens each address or file in a window of its own. When Kestrel already\n"
        "runs with the same profile, that Kestrel opens them.\n"
        "\n"
        "  --profile DIR   keep cookies, site data, the cache and the session in DIR\n"
        "                  (also KESTREL_PROFILE); each profile has a Kestrel of its own\n"
        "  -h, --help      show this help and end\n"
        "  --version       show the version and end\n"
        "  --              what follows are addresses, even when they start with '-'\n"
        "\n"
        "Qt's own options (-platform, -display, -style...) are understood; switches for\n"
        "the web engine go after --webEngineArgs.\n"
        "\n"
        "Settings: $KESTREL_INI, else INI.ini beside the program or\n"
        "~/.config/Kestrel/INI.ini. Default profile: ~/.local/share/Kestrel, with its\n"
        "cache in ~/.cache/Kestrel.\n");
}
