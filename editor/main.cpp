// tickora-creator [FILE.js]: the editor, opening FILE when one is given.
#include "frmmain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QUrl>

int main(int argc, char* argv[]) {
    // The preview's browser is created later, on first use; it needs this before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tickora Creator"));
    QApplication::setApplicationVersion(QStringLiteral("4.0.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Describe a scroller, watch it run and save the script that starts it."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A scroller script to open (optional)."),
                                 QStringLiteral("[FILE.js]"));
    parser.process(app);

    platform::QtDialogs dialogs;
    frmMain window(dialogs);
    window.setLinkOpener([](const QUrl& url) { QDesktopServices::openUrl(url); });
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openPath(parser.positionalArguments().constFirst());
    return app.exec();
}
