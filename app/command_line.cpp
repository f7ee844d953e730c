#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {
// Qt's own --help-all would need the GUI application, and so a display, to list Qt's options.
const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                    QStringLiteral("Displays help on commandline options."));

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Prepares the library of a Sony PRS-T3 e-book reader.\n"
                                                    "Готовит библиотеку электронной книги Sony PRS-T3."));
    parser.addOption(HelpOption);
    parser.addVersionOption();
}
} // namespace

namespace CommandLine {
void answerInformationRequests(int &argc, char **argv)
{
    // A plain core application lends the parser the program's path and arguments without
    // connecting to a display.
    const QCoreApplication terminal(argc, argv);
    QCommandLineParser parser;
    describeOptions(parser);
    // Qt's own options are not known yet; they are checked once the GUI application has taken them.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(HelpOption))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

void refuseUnknownArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    describeOptions(parser);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        std::exit(EXIT_FAILURE);
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "Unexpected argument '%s'.\n", qPrintable(parser.positionalArguments().constFirst()));
        std::exit(EXIT_FAILURE);
    }
}
} // namespace CommandLine
