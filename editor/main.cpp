// tickora-creator [FILE.js]: the editor, opening FILE when one is given.
#include "appicon.h"
#include "appinfo.h"
#include "fileio.h"
#include "frmmain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QUrl>

int main(int argc, char* argv[]) {
    // The preview's browser is created later, on first use; it needs this before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(appinfo::kAppName);
    QApplication::setApplicationVersion(appinfo::kVersion);
    QApplication::setWindowIcon(platform::applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("tickora-creator"));

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
    // Links in the preview open in the user's browser, not in the preview.
    window.setLinkOpener([&window](const QUrl& url) { window.openLink(url); });
    window.show();
    window.offerRecovery();
    if (!parser.positionalArguments().isEmpty()) {
        // The name as the bytes the system gave: a file name need not be UTF-8, and Qt's
        // decoding would put U+FFFD in place of such bytes.
        const QString given = parser.positionalArguments().constFirst();
        const QStringList decoded = QCoreApplication::arguments();
        QString path = given;
        for (int i = 1; i < argc && i < decoded.size(); ++i) {
            if (decoded[i] == given) {
                path = fileio::pathFromNative(QByteArray(argv[i]));
                break;
            }
        }
        window.openPath(path);
    }
    return app.exec();
}
