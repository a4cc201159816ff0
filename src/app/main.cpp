#include "app/CQuilletApp.h"
#include "platform/devices/virtual/VirtualScanner.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>

// CurrentUILanguage already holds the user's default language: it is set
// during static initialisation, before main() runs.
int main(int argc, char** argv) {
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quillet: live picture and stills from a USB film scanner."));
    parser.addHelpOption();
    const QCommandLineOption virtualScanner(
        QStringLiteral("virtual-scanner"),
        QStringLiteral("Plug in a built-in virtual scanner, for trying Quillet without one."));
    parser.addOption(virtualScanner);
    parser.process(application);

    theApp.SetUseVirtualScanner(parser.isSet(virtualScanner));
    // Plugged before the window opens, so that start-up finds it.
    if (theApp.UseVirtualScanner())
        VirtualScanner::PlugDefault();
    theApp.InitInstance();
    return 0;
}
