// The tab change: fields into the records, and on the Preview tab a real run of the scroller.
#include "frmmain.h"

#include "appinfo.h"
#include "itemlistview.h"
#include "previewpage.h"

#include <QDir>
#include <QLayout>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QWebEngineView>

void frmMain::tabMain_Click() {
    // A rejected field brings its own tab back; this change then has nothing more to do.
    if (tabMain->currentIndex() == 2 && checkEditedFields())
        return;
    commitFields();
    RefreshControls();
    // A browser that was never created shows nothing already.
    if (wbMain)
        showPage(m_appFolder + u'/' + appinfo::kBlankPage);
    if (tabMain->currentIndex() != 2)
        return;
    if (bFieldError) {
        inform(QStringLiteral("Error in scroller field."));
        return;
    }
    if (tvItm->topLevelItemCount() == 0) {
        inform(QStringLiteral("No scroller item created."));
        return;
    }
    if (!PromptSaveForFolder())
        return;
    const QString sProjectFolder = m_doc->projectFolder();
    if (!m_doc->writeScript(
            sProjectFolder + u'/' + appinfo::kPreviewScript,
            QStringLiteral("The preview cannot be shown. Please check that you may "
                           "write to the folder \"%1\", or save the scroller in another "
                           "folder.")
                .arg(QDir::toNativeSeparators(sProjectFolder)),
            QStringLiteral("The preview needs this file to run the scroller."), nullptr,
            TextEncoding::Utf8)) // the sample page reads its scripts as UTF-8
        return;
    ensurePreviewView();
    showPage(sProjectFolder + u'/' + appinfo::kPageFile);
}

void frmMain::ensurePreviewView() {
    if (wbMain)
        return;
    // Reads the opener when a link is followed, so one set later still counts.
    wbMain = newPreviewView(
        "wbMain", QStringLiteral("Preview"),
        [this](const QUrl& url) {
            if (m_linkOpener)
                m_linkOpener(url);
        },
        m_previewPage);
    connect(wbMain, &QWebEngineView::loadFinished, this, &frmMain::previewLoaded);
    m_previewPage->layout()->addWidget(wbMain);
}

void frmMain::showPage(const QString& path) {
    wbMain->load(QUrl::fromLocalFile(path));
}
