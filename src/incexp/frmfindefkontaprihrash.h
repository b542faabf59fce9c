#pragma once

#include "chartwin/hostcontext.h"
#include "chartwin/twipslayout.h"
#include "platform/services.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

/// "Definiranje konta prihoda/rashoda...": names an income and expense group, chooses its kind and
/// ticks the accounts of the year that belong to it. Modal to the chart window that opens it; the
/// save replaces the group's rows of the year in one transaction.
class frmFinDefKontaPrihRash : public QDialog
{
    Q_OBJECT
public:
    frmFinDefKontaPrihRash(const Services &services, std::shared_ptr<HostContext> host,
                           QWidget *owner = nullptr);

    /// Fills the window for a group key and shows it modally; returns when it has closed. A blank
    /// key is refused with a message and nothing opens.
    void Prikaži(const QString &groupKey, QWidget *owner);
    /// The steps of Prikaži before the window is shown; false (after the message) for a blank key.
    bool otvori(const QString &groupKey);
    /// Fills the account list and ticks the group's accounts of the year.
    void OsvjeziZapise();

    /// The key the window shows: the name and the letter of the chosen kind.
    QString currentKey() const;
    QString storedKey() const { return m_storedKey; }
    /// Ticks exactly these accounts (for scripted saves); false when one is not in the list.
    bool tickOnly(const QStringList &accounts);
    QStringList tickedAccounts() const;

    QLabel *Label1;
    QLineEdit *txtOperater;
    QRadioButton *optPrihodi, *optRashodi, *optSaldo;
    QTreeWidget *ListView;
    QPushButton *cdmObilježi, *cdmPoništi, *cmdObilježiKlasu, *cmdSpremi, *cmdPrekid;

    void cdmObilježi_Click();
    void cdmPoništi_Click();
    void cmdObilježiKlasu_Click();
    /// Saves and closes; on failure the window stays open with the edits. True when saved.
    bool cmdSpremi_Click();
    void ListView_ColumnClick(int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    QString kindLetter() const;
    cPristupPodacima &pristup();

    Services m_services;
    std::shared_ptr<HostContext> m_host;
    TwipsLayout m_layout{this};
    QString m_storedKey;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
