#include "helpprocess.h"

#include "helpprotocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QWidget>

namespace help {

HelpProcessViewer::HelpProcessViewer(const QString& program, const QStringList& arguments,
                                     int timeoutMs)
    : m_program(program.isEmpty()
                    ? QCoreApplication::applicationDirPath() + QStringLiteral("/tickora-help")
                    : program),
      m_arguments(arguments), m_timeoutMs(timeoutMs) {}

HelpProcessViewer::~HelpProcessViewer() {
    if (m_popup)
        m_popup->close();
    stop();
}

qint64 HelpProcessViewer::processId() const {
    return m_process && m_process->state() != QProcess::NotRunning ? m_process->processId() : 0;
}

void HelpProcessViewer::stop(bool failed) {
    if (!m_process)
        return;
    std::unique_ptr<QProcess> process = std::move(m_process);
    QObject::disconnect(process.get(), nullptr, nullptr, nullptr);
    if (process->state() != QProcess::NotRunning) {
        // A closed pipe ends the help program and its windows; one that does not listen, or
        // has failed, is ended.
        process->closeWriteChannel();
        if (failed || !process->waitForFinished(3000)) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    m_pending.clear();
    m_windows.clear();
}

std::optional<QJsonObject> HelpProcessViewer::ask(const QJsonObject& request, const QString& file) {
    // Failures name the help file, as the viewer's own do, not the window or topic asked for.
    m_lastFile = HelpTarget::parse(file).chmPath;
    if (m_process && m_process->state() == QProcess::NotRunning)
        stop(); // it ended earlier (and that was told); a new one starts
    auto failed = [&](const QString& detail) -> std::optional<QJsonObject> {
        stop(true);
        fail(HelpFailure::Kind::ViewerFailed, m_lastFile, detail);
        return std::nullopt;
    };
    if (!m_process) {
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A help process that ends while nobody waits for it took its windows with it.
        QObject::connect(m_process.get(), &QProcess::finished,
                         [this](int code, QProcess::ExitStatus status) {
                             if (m_asking || (status == QProcess::NormalExit && code == 0))
                                 return;
                             const QString file = m_lastFile;
                             m_windows.clear();
                             fail(HelpFailure::Kind::ViewerFailed, file,
                                  QStringLiteral("the help window stopped while showing it"));
                         });
        m_process->start(m_program, m_arguments);
        if (!m_process->waitForStarted(m_timeoutMs))
            return failed(
                QStringLiteral("the help program %1 could not be started").arg(m_program));
    }
    m_asking = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_asking};

    m_process->write(protocol::line(request));
    const QDeadlineTimer deadline(m_timeoutMs);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) < 0) {
        const int wait = int(std::max<qint64>(1, deadline.remainingTime()));
        if (m_process->bytesAvailable() || m_process->waitForReadyRead(wait)) {
            m_pending += m_process->readAll();
            continue;
        }
        if (m_process->state() != QProcess::Running)
            return failed(QStringLiteral("the help program stopped while reading it"));
        if (deadline.hasExpired())
            return failed(QStringLiteral("the help program did not answer in time"));
    }
    const QJsonObject reply = protocol::parse(m_pending.left(end));
    m_pending.remove(0, end + 1);
    if (reply.isEmpty())
        return failed(QStringLiteral("the help program gave an answer that makes no sense"));
    HelpFailure f;
    if (protocol::decodeFailure(reply, &f))
        fail(f.kind, f.file, f.detail);
    return reply;
}

std::optional<quintptr> HelpProcessViewer::htmlHelp(quintptr owner, const QString& file,
                                                    int command, const HelpData& data) {
    if (command == DisplayTextPopup) {
        const auto* r = std::get_if<HelpPopupRecord>(&data);
        return r ? showPopup(owner, file, *r) : 0;
    }
    if (command == CloseAll) {
        if (m_popup)
            m_popup->close();
        if (!m_process)
            return quintptr(0); // no help process, no help windows
    }
    QJsonObject request{{QStringLiteral("call"), QStringLiteral("help")},
                        {QStringLiteral("file"), file},
                        {QStringLiteral("command"), command},
                        {QStringLiteral("data"), protocol::encodeData(data)}};
    const std::optional<QJsonObject> reply = ask(request, file);
    if (!reply)
        return quintptr(0);
    const QJsonValue handle = reply->value(QLatin1String("handle"));
    if (!handle.isDouble()) {
        stop(true);
        fail(HelpFailure::Kind::ViewerFailed, m_lastFile,
             QStringLiteral("the help program gave an answer that makes no sense"));
        return quintptr(0);
    }
    const auto h = quintptr(std::max(0.0, handle.toDouble()));
    if (h)
        m_windows.insert(h);
    return h;
}

quintptr HelpProcessViewer::showPopup(quintptr owner, const QString& file,
                                      const HelpPopupRecord& r) {
    QString text = r.text;
    if (text.isNull() && !file.isEmpty()) {
        const QJsonObject request{{QStringLiteral("call"), QStringLiteral("popup")},
                                  {QStringLiteral("file"), file},
                                  {QStringLiteral("id"), r.stringId}};
        const std::optional<QJsonObject> reply =
            ask(request, file.section(QLatin1String("::"), 0, 0));
        if (!reply)
            return 0;
        text = reply->value(QLatin1String("text")).toString();
    }
    return HelpPopup::replace(m_popup, owner, text, r);
}

bool HelpProcessViewer::deleteMenuItem(quintptr window, int) {
    // The help windows offer no jump-to-address command; the answer tells whether the window
    // is one the help process showed.
    return m_windows.contains(window);
}

} // namespace help
