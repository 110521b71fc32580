#include "livepreview.h"

#include "appinfo.h"
#include "previewpage.h"

#include <QDir>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QLabel>
#include <QPointer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Every run leaves the replaced scroller's listeners behind in the page; a fresh page now and
// then gives their memory back.
constexpr int kRunsPerPage = 50;

QString jsString(const QString& s) {
    // A JSON string is a JavaScript string literal.
    const QByteArray json = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

LivePreview::LivePreview(const QString& appFolder, Opener opener, QWidget* parent)
    : QWidget(parent), m_appFolder(QDir(appFolder).absolutePath()), m_opener(std::move(opener)) {
    setObjectName(QStringLiteral("livePreview"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_bar = new QHBoxLayout;
    m_bar->setContentsMargins(4, 0, 4, 0);
    const auto toggle = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setCheckable(true);
        b->setAutoRaise(true);
        m_bar->addWidget(b);
        return b;
    };
    m_dark = toggle("cmdLiveDark", QStringLiteral("&Dark"),
                    QStringLiteral("Shows the scroller on a dark page"));
    m_rtl = toggle("cmdLiveRtl", QStringLiteral("&Right to Left"),
                   QStringLiteral("Shows the scroller in a right-to-left page"));
    m_bar->addStretch(1);
    layout->addLayout(m_bar);
    connect(m_dark, &QToolButton::toggled, this, [this] {
        applyLook();
        emit lookChanged();
    });
    connect(m_rtl, &QToolButton::toggled, this, [this] {
        applyLook();
        // The scroller measures its items again in the new direction.
        m_pendingRun = !m_script.isEmpty();
        applyPending();
        emit lookChanged();
    });

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("liveNote"));
    m_note->setAccessibleName(QStringLiteral("Live preview note"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setContentsMargins(6, 2, 6, 2);
    QPalette muted = m_note->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    m_note->setPalette(muted);
    m_note->hide();
    layout->addWidget(m_note);
    layout->addStretch(1);
}

void LivePreview::addToBar(QWidget* w) {
    m_bar->addWidget(w);
}

QString LivePreview::note() const {
    return m_note->isHidden() ? QString() : m_note->text();
}

void LivePreview::setNote(const QString& note) {
    m_note->setText(note);
    // What a screen reader reads is the note itself.
    m_note->setAccessibleName(note.isEmpty() ? QStringLiteral("Live preview note") : note);
    m_note->setAccessibleDescription(note);
    m_note->setHidden(note.isEmpty());
}

bool LivePreview::dark() const {
    return m_dark->isChecked();
}

void LivePreview::setDark(bool on) {
    m_dark->setChecked(on);
}

bool LivePreview::rightToLeft() const {
    return m_rtl->isChecked();
}

void LivePreview::setRightToLeft(bool on) {
    m_rtl->setChecked(on);
}

void LivePreview::ensureView() {
    if (m_view)
        return;
    m_view = newPreviewView(
        "wbLive", QStringLiteral("Live preview"),
        [this](const QUrl& url) {
            if (m_opener)
                m_opener(url);
        },
        this);
    // Typing goes on in the field while the page changes.
    m_view->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    m_view->setFocusPolicy(Qt::ClickFocus);
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->removeItem(layout->itemAt(layout->count() - 1)); // the stretch that stood in for it
    layout->addWidget(m_view, 1);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_ready = ok;
        if (ok) {
            applyLook();
            m_pendingRun = !m_script.isEmpty();
            applyPending();
        }
    });
}

QString LivePreview::pageHtml() const {
    const QString lib = QUrl::fromLocalFile(m_appFolder + u'/' + appinfo::kLibraryFile).toString();
    const QString run = QUrl::fromLocalFile(m_appFolder + u'/' + appinfo::kRuntimeFile).toString();
    return QStringLiteral(
               "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
               "<title>Live preview page</title>"
               "<style>"
               "body{font:15px/1.45 system-ui,sans-serif;margin:1em;color:#222;background:#fff}"
               "html.dark body{color:#e8e8e8;background:#1f1f23}"
               "#tk-live-stage{padding:.75em;border:1px dashed #bbb;display:inline-block}"
               "html.dark #tk-live-stage{border-color:#555}"
               "a{color:#0645ad}html.dark a{color:#8ab4f8}"
               "</style>"
               "<script src=\"%1\"></script><script src=\"%2\"></script>"
               "<script>"
               "window.__tkLive={cur:null,gen:0,error:'',"
               "apply:function(src,name){"
               "var x=window.scrollX,y=window.scrollY,old=this.cur;"
               "if(old){try{old.stop();if(old._box)old._box.remove();}catch(e){}}"
               "var stage=document.getElementById('tk-live-stage');"
               "stage.textContent='';"
               "var host=document.createElement('div');host.id=name;stage.appendChild(host);"
               "this.error='';"
               "try{(0,eval)(src);}catch(e){this.error=String(e);}"
               "var s=window[name];this.cur=(s instanceof Tickora)?s:null;"
               "window.scrollTo(x,y);"
               "return [++this.gen,this.error];},"
               "look:function(dark,rtl){"
               "document.documentElement.classList.toggle('dark',dark);"
               "document.documentElement.dir=rtl?'rtl':'ltr';}};"
               "</script></head><body><div id=\"tk-live-stage\"></div></body></html>")
        .arg(lib.toHtmlEscaped(), run.toHtmlEscaped());
}

void LivePreview::buildPage() {
    m_ready = false;
    m_inPage = 0;
    m_view->setHtml(pageHtml(), QUrl::fromLocalFile(m_base + QLatin1Char('/')));
}

void LivePreview::showScript(const QString& script, const QString& name,
                             const QString& baseFolder) {
    ensureView();
    // The page is made from text; its addresses need a folder that does not depend on the
    // working folder.
    const QString base = QDir(baseFolder).absolutePath();
    // Nothing new (a tab change, a command that changed nothing): the scroller runs on.
    if (m_ready && script == m_script && base == m_base) {
        setNote(m_pageError);
        return;
    }
    m_script = script;
    m_name = name;
    m_pendingRun = true;
    if (base != m_base || m_inPage >= kRunsPerPage) {
        m_base = base;
        buildPage();
        return;
    }
    applyPending();
}

void LivePreview::applyPending() {
    if (!m_view || !m_ready || !m_pendingRun)
        return;
    m_pendingRun = false;
    ++m_inPage;
    const QString call = QStringLiteral("window.__tkLive ? __tkLive.apply(%1, %2) : -1")
                             .arg(jsString(m_script), jsString(m_name));
    const QPointer<LivePreview> self(this);
    m_view->page()->runJavaScript(call, [this, self](const QVariant& v) {
        if (!self || !v.isValid())
            return; // the page went away meanwhile
        if (v.typeId() != QMetaType::QVariantList) {
            // The page was taken away (a script that navigated it): build it again.
            m_pendingRun = true;
            buildPage();
            return;
        }
        ++m_applied;
        // A script the page cannot run (a name the browser keeps for itself, such as status)
        // fails the same way in the author's page: say so quietly.
        const QString error = v.toList().value(1).toString();
        m_pageError = error.isEmpty()
                          ? QString()
                          : QStringLiteral("The page cannot run the scroller: %1. A name the "
                                           "browser uses itself, such as status or location, "
                                           "does not work as the scroller's name.")
                                .arg(error);
        if (!m_pageError.isEmpty())
            setNote(m_pageError);
        emit scriptApplied();
    });
}

void LivePreview::applyLook() {
    if (!m_view || !m_ready)
        return;
    m_view->page()->runJavaScript(
        QStringLiteral("window.__tkLive && __tkLive.look(%1, %2)")
            .arg(dark() ? "true" : "false", rightToLeft() ? "true" : "false"));
}
