#pragma once

#include "helppopup.h"
#include "helpviewer.h"

#include <QJsonObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <memory>

class QProcess;

namespace help {

// The editor's help viewer: help windows are shown by the help program (tickora-help) in a
// process of its own, started on first use. A help file that makes that process crash or hang
// costs only the help windows; each request waits a bounded time, and every failure is told to
// the failure handler. What's This notes are read there too, but shown here beside the pointer.
class HelpProcessViewer : public HelpViewer {
public:
    // `program` defaults to tickora-help beside the running executable.
    explicit HelpProcessViewer(const QString& program = QString(),
                               const QStringList& arguments = QStringList(), int timeoutMs = 15000);
    ~HelpProcessViewer() override;

    std::optional<quintptr> htmlHelp(quintptr owner, const QString& file, int command,
                                     const HelpData& data) override;
    bool deleteMenuItem(quintptr window, int command) override;

    HelpPopup* popup() const { return m_popup; }
    // The help process's id, 0 while none runs.
    qint64 processId() const;

private:
    // Sends one request and waits for its answer; nothing when the process failed (told).
    std::optional<QJsonObject> ask(const QJsonObject& request, const QString& file);
    // Ends the help process: politely, or at once when it has failed.
    void stop(bool failed = false);
    quintptr showPopup(quintptr owner, const QString& file, const HelpPopupRecord& r);

    QString m_program;
    QStringList m_arguments;
    int m_timeoutMs;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_pending;
    QString m_lastFile; // the file of the last request, named when the process stops later
    bool m_asking = false;
    QSet<quintptr> m_windows; // handles the help process answered
    QPointer<HelpPopup> m_popup;
};

} // namespace help
