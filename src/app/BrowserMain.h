#pragma once

struct CommandLine;
struct ProfileFolder;

// The browser's run, once this process owns `profile`: sets the engine up,
// makes the application, listens for later starts of the profile, opens the
// first windows and runs until the last one closes or a signal ends it.
int runBrowser(int argc, char **argv, const CommandLine &command, const ProfileFolder &profile);

// How the program finds the run: the browser is a module of its own (see
// main.cpp), with this one function.
extern "C" {
using RunBrowserFunction = int (*)(int argc, char **argv, const CommandLine *command, const ProfileFolder *profile);
}
#define KESTREL_RUN_BROWSER_SYMBOL "kestrelRunBrowser"
