// The three buttons beside the item text: bold, emphasis and a picture.
#include "frmmain.h"

#include "markuprules.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

using platform::Dialogs;

namespace {

QIcon pictureIcon(const QStyle* style) {
    QIcon icon;
    for (qreal dpr : {1.0, 2.0}) {
        QPixmap pm(QSize(16, 16) * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0x33, 0x44, 0x55), 1.2));
            p.setBrush(QColor(0xe8, 0xf1, 0xfb));
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xf2, 0xc9, 0x4c));
            p.drawEllipse(QRectF(9.5, 4.5, 3, 3));
            p.setBrush(QColor(0x2e, 0x9d, 0x4a));
            QPainterPath hills;
            hills.moveTo(2.2, 12.8);
            hills.lineTo(6, 7);
            hills.lineTo(9, 10.5);
            hills.lineTo(10.5, 9);
            hills.lineTo(13.8, 12.8);
            hills.closeSubpath();
            p.drawPath(hills);
        }
        icon.addPixmap(pm, QIcon::Normal);
        QStyleOption opt;
        icon.addPixmap(style->generatedIconPixmap(QIcon::Disabled, pm, &opt), QIcon::Disabled);
    }
    return icon;
}

QPushButton* markupButton(const char* name, const QString& tip, const QString& accessible) {
    auto* b = new QPushButton;
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setAccessibleName(accessible);
    b->setAutoDefault(false);
    // A click leaves the focus, and the selection, in the text; Tab still reaches the button.
    b->setFocusPolicy(Qt::TabFocus);
    b->setFixedWidth(b->fontMetrics().height() * 2 + 8);
    return b;
}

} // namespace

void frmMain::buildMarkupButtons() {
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(font().pointSizeF());
    cmdItmBold = markupButton("cmdItmBold", QStringLiteral("Bold"), QStringLiteral("Bold"));
    QFont bold = mono;
    bold.setBold(true);
    cmdItmBold->setFont(bold);
    cmdItmBold->setText(QStringLiteral("B"));
    cmdItmItalic =
        markupButton("cmdItmItalic", QStringLiteral("Emphasis"), QStringLiteral("Emphasis"));
    QFont italic = mono;
    italic.setItalic(true);
    cmdItmItalic->setFont(italic);
    cmdItmItalic->setText(QStringLiteral("I"));
    cmdItmImg = markupButton("cmdItmImg", QStringLiteral("Browse for an image to add to the item"),
                             QStringLiteral("Image"));
    cmdItmImg->setIcon(pictureIcon(style()));

    for (QPushButton* b : {cmdItmBold, cmdItmItalic, cmdItmImg})
        m_itemButtons->layout()->addWidget(b);
    QWidget::setTabOrder(txtItmText, cmdItmBold);
    QWidget::setTabOrder(cmdItmBold, cmdItmItalic);
    QWidget::setTabOrder(cmdItmItalic, cmdItmImg);

    connect(cmdItmBold, &QPushButton::clicked, this, &frmMain::cmdItmBold_Click);
    connect(cmdItmItalic, &QPushButton::clicked, this, &frmMain::cmdItmItalic_Click);
    connect(cmdItmImg, &QPushButton::clicked, this, &frmMain::cmdItmImg_Click);
}

void frmMain::wrapSelection(const QString& open, const QString& close, const QString& what) {
    QTextCursor c = txtItmText->textCursor();
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    // One step for Undo.
    c.beginEditBlock();
    c.setPosition(end);
    c.insertText(close);
    c.setPosition(start);
    c.insertText(open);
    c.endEditBlock();
    // The wrapped text stays selected; with nothing selected the caret stands between the tags,
    // ready for the text to be marked.
    c.setPosition(start + int(open.size()));
    c.setPosition(end + int(open.size()), QTextCursor::KeepAnchor);
    txtItmText->setTextCursor(c);
    txtItmText->setFocus(Qt::OtherFocusReason);
    // The markup is a step of its own, apart from the typing around it.
    commitFields(what, false);
}

void frmMain::cmdItmBold_Click() {
    commitFields(QString(), false);
    wrapSelection(markuprules::kBoldOpen, markuprules::kBoldClose, QStringLiteral("Bold"));
}

void frmMain::cmdItmItalic_Click() {
    commitFields(QString(), false);
    wrapSelection(markuprules::kEmphasisOpen, markuprules::kEmphasisClose,
                  QStringLiteral("Emphasis"));
}

void frmMain::cmdItmImg_Click() {
    commitFields(QString(), false);
    if (!PromptSaveForFolder())
        return;
    // The dialog starts where this project's last picture came from, else in the project
    // folder, from which the picture's address is built.
    const QString project = m_doc->projectFolder();
    const bool lastHere = m_pictureProject == project && QFileInfo(m_pictureFolder).isDir();
    const QString start = lastHere ? m_pictureFolder : project;
    const QString path =
        m_dialogs.openFile(this, Dialogs::FileRequest{QStringLiteral("Browse"), start,
                                                      markuprules::pictureFilters(), 0, false});
    if (path.isEmpty())
        return;
    m_pictureFolder = QFileInfo(path).absolutePath();
    m_pictureProject = project;
    const QSize size = markuprules::pictureSize(path);
    if (!size.isValid())
        return; // not a picture: nothing is inserted and nothing is said
    const QString tag = markuprules::imageTag(markuprules::pictureAddress(project, path), size);
    QTextCursor c = txtItmText->textCursor();
    c.insertText(tag); // replaces the selection
    txtItmText->setTextCursor(c);
    txtItmText->setFocus(Qt::OtherFocusReason);
    commitFields(QStringLiteral("Insert Picture"), false);
}
