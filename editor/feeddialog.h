#pragma once

#include "clsitem.h"
#include "feedentry.h"
#include "feedfetch.h"
#include "feedsource.h"

#include <QDialog>

namespace platform {
class Dialogs;
}
class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// Item > Import from Feed: the user gives a feed address or file, the feed is read with a
// progress bar and a Cancel, its entries are shown with check boxes, and the chosen ones become
// items. Nothing of the document changes here; the window takes chosenItems() when accepted.
class FeedDialog : public QDialog {
    Q_OBJECT
public:
    FeedDialog(platform::Dialogs& dialogs, const feed::Source& remembered,
               QWidget* parent = nullptr);
    ~FeedDialog() override;

    void setLimits(const feed::Limits& limits);
    void setAddress(const QString& address);
    QString address() const;

    // Reads the feed at the address given (the Fetch button).
    void fetch();
    bool isFetching() const;
    // The message under the address: progress, what was read, or what went wrong.
    QString status() const;

    int entryCount() const;
    void setChecked(int row, bool checked);
    int checkedCount() const;

    // The items for the checked entries, in feed order, with the options chosen.
    QList<clsItem> chosenItems() const;
    // The feed as it is to be remembered (without its items; the window adds those).
    feed::Source source() const;
    bool remember() const;

signals:
    // A read ended: entries shown, or the status says why not.
    void fetchFinished(bool ok);
    // F1 and Shift+F1: the dialog holds the keyboard while it is open, so the window's help
    // keys do not reach the editor.
    void helpRequested();
    void whatsThisRequested();

public slots:
    void reject() override; // while reading, Cancel and Escape stop the read only

protected:
    bool event(QEvent* e) override;

private:
    void browse();
    void onFinished(const feed::FetchResult& result);
    void showEntries(const feed::Feed& feed);
    void setStatus(const QString& text, bool error);
    void updateButtons();
    feed::ItemOptions options() const;

    platform::Dialogs& m_dialogs;
    feed::Fetcher m_fetcher;
    QList<feed::Entry> m_entries;
    QString m_readAddress;         // the address the shown entries came from
    feed::Validators m_validators; // of the read that gave the shown entries

    QLineEdit* txtFeedAddress = nullptr;
    QPushButton* cmdFeedBrowse = nullptr;
    QPushButton* cmdFeedFetch = nullptr;
    QProgressBar* prgFeed = nullptr;
    QLabel* lblFeedStatus = nullptr;
    QTreeWidget* tvFeedEntries = nullptr;
    QPushButton* cmdFeedAll = nullptr;
    QPushButton* cmdFeedNone = nullptr;
    QSpinBox* udFeedNameLength = nullptr;
    QSpinBox* udFeedSummary = nullptr;
    QCheckBox* chkFeedMarkup = nullptr;
    QCheckBox* chkFeedRemember = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* cmdFeedAdd = nullptr;
};
