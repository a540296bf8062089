#pragma once

#include <QString>
#include <QStringList>

// What the program was asked to do by its command line.
struct CommandLine
{
    enum class Action {
        Browse,  // open the addresses (or start as usual without any)
        Help,    // print the usage and end
        Version, // print the version and end
        Refuse,  // the command line is wrong: say why, with the usage, and end
    };

    Action action = Action::Browse;
    // Each ready for the view: a file name counts from the working folder.
    QStringList addresses;
    // The profile folder asked for with --profile, as given; empty for the default.
    QString profile;
    // Switches meant for the web engine, to be passed on to it.
    QStringList engineSwitches;
    // Why the command line was refused, as one sentence.
    QString problem;
};

// Reads the arguments as given to main() (without the program's name), as a
// desktop hands over links and files or a user types them. Qt's own options
// (which the application object takes out later) are passed over with their
// values, the web engine's switches are kept for the engine, and anything
// else that starts with '-' is refused unless it follows "--".
CommandLine parseCommandLine(const QStringList &args, const QString &workingDir);

// The usage text that --help prints, and that goes with a refusal.
QString commandLineUsage();
