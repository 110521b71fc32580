#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <algorithm>

namespace platform {

namespace {

QMessageBox::StandardButton toStandard(Dialogs::Answer a) {
    switch (a) {
    case Dialogs::Answer::Yes:
        return QMessageBox::Yes;
    case Dialogs::Answer::No:
        return QMessageBox::No;
    case Dialogs::Answer::Cancel:
        return QMessageBox::Cancel;
    case Dialogs::Answer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toIcon(Dialogs::Icon i) {
    switch (i) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Qt's own dialog reads text with double quotes in it as several quoted names, and would open
// or save another file than the one typed: such a name is taken as it stands.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    QString typedPath; // set when the name was taken as typed

protected:
    void accept() override {
        const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString text = edit ? edit->text() : QString();
        if (!text.contains(u'"')) {
            QFileDialog::accept();
            return;
        }
        QString path = directory().absoluteFilePath(text);
        if (acceptMode() == AcceptSave && !QFileInfo(path).fileName().contains(u'.') &&
            !defaultSuffix().isEmpty())
            path += u'.' + defaultSuffix();
        const QFileInfo target(path);
        if (acceptMode() == AcceptOpen && !target.isFile()) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("\"%1\" was not found.\nPlease check the name "
                                                "and try again.")
                                     .arg(QDir::toNativeSeparators(path)));
            return;
        }
        if (acceptMode() == AcceptSave && target.isDir()) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("\"%1\" is a folder.\nPlease give the name of a "
                                                "file.")
                                     .arg(QDir::toNativeSeparators(path)));
            return;
        }
        if (acceptMode() == AcceptSave && target.exists() && !testOption(DontConfirmOverwrite) &&
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("\"%1\" already exists.\nDo you want to replace "
                                                "it?")
                                     .arg(QDir::toNativeSeparators(path)),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) != QMessageBox::Yes)
            return;
        typedPath = path;
        QDialog::accept();
    }
};

FileDialog* makeFileDialog(QWidget* parent, const Dialogs::FileRequest& r, bool save) {
    auto* d = new FileDialog(parent, r.title);
    d->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d->setNameFilters(r.filters);
    if (r.filterIndex >= 0 && r.filterIndex < r.filters.size())
        d->selectNameFilter(r.filters.at(r.filterIndex));
    if (save) {
        // The dialog adds the extension itself, so that it asks before replacing the file that
        // is really meant.
        d->setDefaultSuffix(Dialogs::filterSuffix(d->selectedNameFilter()));
        QObject::connect(d, &QFileDialog::filterSelected, d, [d](const QString& filter) {
            d->setDefaultSuffix(Dialogs::filterSuffix(filter));
        });
    }
    if (QFileInfo(r.initialName).isDir())
        d->setDirectory(r.initialName);
    else if (!r.initialName.isEmpty())
        d->selectFile(r.initialName);
    if (save && !r.confirmOverwrite)
        d->setOption(QFileDialog::DontConfirmOverwrite);
    return d;
}

QString runFileDialog(QWidget* parent, const Dialogs::FileRequest& r, bool save,
                      int* chosenFilter = nullptr) {
    FileDialog* d = makeFileDialog(parent, r, save);
    QString chosen;
    if (d->exec() == QDialog::Accepted)
        chosen = !d->typedPath.isEmpty()         ? d->typedPath
                 : !d->selectedFiles().isEmpty() ? d->selectedFiles().constFirst()
                                                 : QString();
    if (chosenFilter)
        *chosenFilter = std::max<int>(0, r.filters.indexOf(d->selectedNameFilter()));
    delete d;
    return chosen;
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget* parent, const Message& m) {
    QMessageBox box(toIcon(m.icon), m.title, m.text, QMessageBox::NoButton, parent);
    switch (m.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (QAbstractButton* b = box.button(toStandard(m.defaultButton)))
        box.setDefaultButton(qobject_cast<QPushButton*>(b));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        // Escape on a Yes/No box without Cancel answers No, as the platform's boxes do.
        return m.buttons == Buttons::Ok      ? Answer::Ok
               : m.buttons == Buttons::YesNo ? Answer::No
                                             : Answer::Cancel;
    }
}

int QtDialogs::choose(QWidget* parent, const Message& m, const QStringList& buttons,
                      int defaultButton, int escape) {
    QMessageBox box(toIcon(m.icon), m.title, m.text, QMessageBox::NoButton, parent);
    QList<QPushButton*> made;
    for (const QString& caption : buttons)
        made << box.addButton(caption, QMessageBox::ActionRole);
    if (defaultButton >= 0 && defaultButton < made.size())
        box.setDefaultButton(made.at(defaultButton));
    if (escape >= 0 && escape < made.size())
        box.setEscapeButton(made.at(escape));
    box.exec();
    const int index = int(made.indexOf(qobject_cast<QPushButton*>(box.clickedButton())));
    return index < 0 ? escape : index;
}

QString QtDialogs::openFile(QWidget* parent, const FileRequest& r) {
    return runFileDialog(parent, r, false);
}

QString QtDialogs::saveFile(QWidget* parent, const FileRequest& r, int* chosenFilter) {
    return runFileDialog(parent, r, true, chosenFilter);
}

QString Dialogs::filterSuffix(const QString& filter) {
    static const QRegularExpression single(QStringLiteral(R"(\(\*\.(\w+)\)$)"));
    const QRegularExpressionMatch m = single.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString Dialogs::withFilterSuffix(const QString& path, const QString& filter) {
    const QString suffix = filterSuffix(filter);
    // As the dialogs do: a name with a dot in it ("trail.", "v1.2") gets nothing added.
    if (suffix.isEmpty() || path.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + QLatin1Char('.') + suffix;
}

} // namespace platform
