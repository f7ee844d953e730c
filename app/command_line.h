#pragma once

#include <QStringList>

// The program's few command-line options, answered on the terminal.
namespace CommandLine {
// Answers --help or --version, or refuses an option that neither the program nor Qt knows,
// and ends the program; returns when the window is to be opened. Runs before the GUI
// application exists, so it needs no display and opens no window.
void answerBeforeDisplay(int &argc, char **argv);
// Once Qt has taken its own options (-platform, -style, ...): ends the program with a message
// when anything it does not know is left.
void refuseUnknownArguments(const QStringList &arguments);
} // namespace CommandLine
