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

// The options the GUI application takes for itself on any platform, so that they are neither
// refused nor their values taken for stray arguments before it exists.
void describeQtOptions(QCommandLineParser &parser)
{
    const QStringList withValue{
        "platform",   "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "geometry", "qwindowtitle",
        "title",      "qwindowicon",        "icon",          "session", "display",         "name",     "style",
        "stylesheet", "qmljsdebugger",      "dialogs",       "visual",  "ncols",           "cmap"};
    const QStringList flags{"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};
    for (const QString &name : withValue) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString &name : flags) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Ends the program as a usage error when the parser met an unknown option or an argument.
void refuseWhatIsLeft(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        std::exit(EXIT_FAILURE);
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "Unexpected argument '%s'.\n", qPrintable(parser.positionalArguments().constFirst()));
        std::exit(EXIT_FAILURE);
    }
}
} // namespace

namespace CommandLine {
void answerBeforeDisplay(int &argc, char **argv)
{
    // A plain core application lends the parser the program's path and arguments without
    // connecting to a display.
    const QCoreApplication terminal(argc, argv);
    QCommandLineParser parser;
    describeOptions(parser);
    describeQtOptions(parser);
    // Qt writes its options with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    refuseWhatIsLeft(parser, QCoreApplication::arguments());
    if (parser.isSet(HelpOption))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

void refuseUnknownArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    describeOptions(parser);
    refuseWhatIsLeft(parser, arguments);
}
} // namespace CommandLine
