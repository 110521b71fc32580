// tickora-help: the editor's help viewer in a process of its own. The editor writes one request
// a line on standard input and reads one answer a line on standard output; the help windows
// live here, so a help file that upsets the reading library costs only this process. The
// program ends when the editor closes its end of the pipe.
#include "appicon.h"
#include "appinfo.h"
#include "chmhelpviewer.h"
#include "helpprotocol.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

QJsonObject answer(help::ChmHelpViewer& viewer, const QJsonObject& request) {
    std::optional<help::HelpFailure> failure;
    viewer.setFailureHandler([&](const help::HelpFailure& f) {
        if (!failure)
            failure = f; // the first cause is the one worth telling
    });
    QJsonObject reply;
    const QString call = request.value(QLatin1String("call")).toString();
    const QString file = request.value(QLatin1String("file")).toString();
    if (call == QLatin1String("popup")) {
        const QString text =
            viewer.popupText(file, qint32(request.value(QLatin1String("id")).toInt()));
        if (!text.isNull())
            reply.insert(QLatin1String("text"), text);
    } else if (call == QLatin1String("help")) {
        const auto handle = viewer.htmlHelp(
            0, file, request.value(QLatin1String("command")).toInt(-1),
            help::protocol::decodeData(request.value(QLatin1String("data")).toObject()));
        reply.insert(QLatin1String("handle"), double(handle.value_or(0)));
    } else {
        reply.insert(QLatin1String("handle"), 0);
    }
    viewer.setFailureHandler(nullptr);
    if (failure)
        reply.insert(QLatin1String("failure"), help::protocol::encodeFailure(*failure));
    return reply;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(appinfo::kAppName + QStringLiteral(" Help"));
    QApplication::setWindowIcon(platform::applicationIcon());
    // Closing the last help window keeps the process for the editor's next request.
    QApplication::setQuitOnLastWindowClosed(false);

    help::ChmHelpViewer viewer;
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            QApplication::exit(0); // the editor is gone: so are its help windows
            return;
        }
        pending.append(buffer, qsizetype(n));
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QByteArray request = pending.left(end);
            pending.remove(0, end + 1);
            const QByteArray reply =
                help::protocol::line(answer(viewer, help::protocol::parse(request)));
            std::fwrite(reply.constData(), 1, size_t(reply.size()), stdout);
            std::fflush(stdout);
        }
    });
    return app.exec();
}
