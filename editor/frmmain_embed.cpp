// Copy Embed Code: the HTML that puts the saved scroller into a page, on the clipboard.
#include "frmmain.h"

#include "embedcode.h"

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>

void frmMain::buildEmbedCommand() {
    mnuEdit->addSeparator()->setObjectName(QStringLiteral("mnuEditSep1"));
    mnuEditEmbed = mnuEdit->addAction(QStringLiteral("Copy &Embed Code"));
    mnuEditEmbed->setObjectName(QStringLiteral("mnuEditEmbed"));
    connect(mnuEditEmbed, &QAction::triggered, this, &frmMain::mnuEditEmbed_Click);

    // The Edit menu is there on the Items tab only; the preview offers the command as well.
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 4);
    bar->addStretch(1);
    bar->addWidget(embedButton(m_previewPage));
    static_cast<QBoxLayout*>(m_previewPage->layout())->insertLayout(0, bar);
}

QPushButton* frmMain::embedButton(QWidget* parent) {
    // No access key: Alt+E opens the Edit menu.
    auto* button = new QPushButton(QStringLiteral("Copy Embed Code"), parent);
    button->setObjectName(QStringLiteral("cmdEmbed"));
    button->setToolTip(QStringLiteral("Puts the HTML that shows this scroller in a page on the "
                                      "clipboard"));
    connect(button, &QPushButton::clicked, this, &frmMain::mnuEditEmbed_Click);
    return button;
}

void frmMain::mnuEditEmbed_Click() {
    // The code names the script's file, so a document without one is saved first.
    if (!PromptSaveForFolder())
        return;
    QGuiApplication::clipboard()->setText(
        embedcode::forScript(m_doc->filePath(), m_doc->scroller()));
}
