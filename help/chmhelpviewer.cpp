#include "chmhelpviewer.h"

#include "dialogs.h"
#include "shell.h"

#include <QFileInfo>

namespace help {

namespace {

QString withoutAnchor(const QString& topic) {
    const int hash = topic.indexOf(QLatin1Char('#'));
    return hash < 0 ? topic : topic.left(hash);
}

} // namespace

ChmHelpViewer::ChmHelpViewer(platform::Dialogs* dialogs, platform::Shell* shell)
    : m_dialogs(dialogs), m_shell(shell) {
    if (!m_dialogs) {
        m_ownDialogs = std::make_unique<platform::QtDialogs>();
        m_dialogs = m_ownDialogs.get();
    }
    if (!m_shell) {
        m_ownShell = std::make_unique<platform::DesktopShell>();
        m_shell = m_ownShell.get();
    }
}

ChmHelpViewer::~ChmHelpViewer() {
    closeAll();
}

QString ChmHelpViewer::popupText(const QString& fileArgument, qint32 id) {
    const HelpTarget t = HelpTarget::parse(fileArgument);
    std::shared_ptr<ChmFile> chm = openFile(t.chmPath);
    if (!chm)
        return QString();
    if (chm->resolve(t.inner).isEmpty()) {
        fail(HelpFailure::Kind::NoTopic, t.chmPath, t.inner);
        return QString();
    }
    const QString text = chm->popupText(t.inner, id);
    if (text.isEmpty())
        fail(HelpFailure::Kind::NoTopic, t.chmPath,
             QStringLiteral("%1 (topic %2)").arg(t.inner).arg(id));
    return text;
}

std::shared_ptr<ChmFile> ChmHelpViewer::openFile(const QString& path) {
    auto chm = std::make_shared<ChmFile>();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && chm->open(canonical))
        return chm;
    if (canonical.isEmpty() || chm->problem().isEmpty())
        fail(HelpFailure::Kind::Missing, path);
    else
        fail(HelpFailure::Kind::Damaged, path, chm->problem());
    return nullptr;
}

HelpWindow* ChmHelpViewer::windowFor(quintptr owner, const HelpTarget& t,
                                     const QString& recordWindow) {
    std::shared_ptr<ChmFile> chm = openFile(t.chmPath);
    if (!chm)
        return nullptr;
    QString name = t.windowName.trimmed();
    if (name.isEmpty())
        name = recordWindow.trimmed();
    if (name.isEmpty())
        name = chm->defaultWindow();
    const QString key = chm->path() + QLatin1Char('|') + name.toLower();
    if (HelpWindow* w = m_windows.value(key))
        return w;
    QWidget* parent = owner ? QWidget::find(WId(owner)) : nullptr;
    auto* w = new HelpWindow(chm, chm->window(name), *m_dialogs, *m_shell,
                             parent ? parent->window() : nullptr);
    if (parent)
        w->setWindowFlag(Qt::Window);
    m_windows.insert(key, w);
    return w;
}

quintptr ChmHelpViewer::showPopup(quintptr owner, const QString& file, const HelpPopupRecord& r) {
    QString text = r.text;
    if (text.isNull() && !file.isEmpty())
        text = popupText(file, r.stringId);
    return HelpPopup::replace(m_popup, owner, text, r);
}

void ChmHelpViewer::closeAll() {
    if (m_popup)
        m_popup->close();
    for (const QPointer<HelpWindow>& w : m_windows) {
        if (w)
            w->close();
    }
    m_windows.clear();
}

HelpWindow* ChmHelpViewer::window(quintptr handle) const {
    for (const QPointer<HelpWindow>& w : m_windows) {
        if (w && quintptr(w->winId()) == handle)
            return w;
    }
    return nullptr;
}

std::optional<quintptr> ChmHelpViewer::htmlHelp(quintptr owner, const QString& file, int command,
                                                const HelpData& data) {
    if (command == CloseAll) {
        closeAll();
        return quintptr(0);
    }
    if (command == DisplayTextPopup) {
        const auto* r = std::get_if<HelpPopupRecord>(&data);
        return r ? showPopup(owner, file, *r) : 0;
    }

    const HelpTarget t = HelpTarget::parse(file);
    if (t.chmPath.isEmpty())
        return quintptr(0);
    HelpWindow* w = nullptr;
    QString topic;
    switch (command) {
    case DisplayTopic: {
        const auto* s = std::get_if<QString>(&data);
        topic = s && !s->isEmpty() ? *s : t.inner;
        if (!(w = windowFor(owner, t)))
            return quintptr(0);
        if (topic.isEmpty()) {
            w->showHome();
        } else {
            if (w->chm().resolve(withoutAnchor(topic)).isEmpty()) {
                fail(HelpFailure::Kind::NoTopic, t.chmPath, topic);
                return quintptr(0);
            }
            w->showTopic(topic);
        }
        break;
    }
    case HelpContext: {
        const auto* id = std::get_if<qint32>(&data);
        if (!id || !(w = windowFor(owner, t)))
            return quintptr(0);
        topic = w->chm().contextTopic(*id);
        if (topic.isEmpty()) {
            fail(HelpFailure::Kind::NoTopic, t.chmPath,
                 QStringLiteral("context number %1").arg(*id));
            return quintptr(0);
        }
        w->showTopic(topic);
        break;
    }
    case DisplayToc:
    case DisplayIndex:
    case DisplaySearch: {
        if (!(w = windowFor(owner, t)))
            return quintptr(0);
        if (w->browser()->source().isEmpty())
            w->showHome();
        if (command == DisplayToc)
            w->showContents();
        else if (command == DisplayIndex)
            w->showIndex();
        else if (const auto* r = std::get_if<HelpSearchRecord>(&data))
            w->showSearch(r->query);
        else
            w->showSearch();
        break;
    }
    case KeywordLookup:
    case ALinkLookup: {
        const auto* r = std::get_if<HelpLinkRecord>(&data);
        if (!r)
            return quintptr(0);
        std::shared_ptr<ChmFile> chm = openFile(t.chmPath);
        if (!chm)
            return quintptr(0);
        QStringList names;
        for (const QString& k : r->keywords.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            names << k.trimmed();
        QStringList found;
        QString keyword;
        if (command == KeywordLookup) {
            for (const ChmFile::IndexEntry& e : chm->index()) {
                if (names.contains(e.keyword, Qt::CaseInsensitive) && !e.locals.isEmpty()) {
                    found << e.locals;
                    if (keyword.isEmpty())
                        keyword = e.keyword;
                }
            }
        } else {
            found = chm->aLinkTopics(names);
        }
        if (found.isEmpty() && r->url.isNull()) {
            if (!r->msgText.isNull()) {
                m_dialogs->inform(nullptr, r->msgText,
                                  r->msgTitle.isNull() ? chm->title() : r->msgTitle,
                                  platform::Dialogs::Icon::Information);
            }
            return quintptr(0);
        }
        if (!(w = windowFor(owner, t, r->window)))
            return quintptr(0);
        w->showTopic(found.isEmpty() ? r->url : found.first());
        if (!keyword.isEmpty())
            w->showIndex(keyword);
        break;
    }
    default:
        return quintptr(0);
    }
    w->bringToFront();
    return quintptr(w->winId());
}

bool ChmHelpViewer::deleteMenuItem(quintptr window, int) {
    // Our help windows offer no jump-to-address command, so there is never an item to remove;
    // the answer only tells whether the window is one of ours.
    return this->window(window) != nullptr;
}

} // namespace help
