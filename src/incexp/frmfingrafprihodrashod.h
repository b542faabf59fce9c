#pragma once

#include "chartwin/chartwindow.h"
#include "chartwin/windowcommand.h"
#include "output/frmispiscr.h"

#include <QPointer>

#include <array>
#include <optional>

class QMenu;
class QPushButton;

/// Income, expense and balance of the user's account groups, of one account of a group and of one
/// partner on such an account, month by month, one series per year.
class frmFinGrafPrihodRashod : public ChartWindow
{
    Q_OBJECT
public:
    using DefinitionScript = std::function<void(class frmFinDefKontaPrihRash &)>;

    frmFinGrafPrihodRashod(const Services &services, std::shared_ptr<HostContext> host,
                           QWidget *parent = nullptr);
    /// How this kind differs from the frame, without making a window (the launcher's help).
    static WindowDesign windowDesign();
    /// Its part of the launcher's command: the options naming a node, and its own work.
    static WindowCommand launcherCommand();

    // The window's text functions.
    static QString PadR(const QString &text, int width);
    static QString PadL(const QString &text, int width);
    static QString PadC(const QString &text, int width);
    static void SelektirajText(QLineEdit *box);

    /// Refills the group tree: the year's groups, or the standing ones when there are none.
    void NapuniGrupe();
    /// The group commands: 0 new, 1 change, 2 delete, 4 accounts of the group.
    void mnuRadSaGrupom_Click(int index);
    /// The definition window for a standing group: 0 "PrihodiP", 1 "RashodiR".
    void mnuPrihodi_Click(int index);
    /// Printing: 0 the figures on display, 1 the group's accounts and partners with their shares
    /// month by month, 2 with their shares in total; each in a preview of its own.
    void mnuIspisP_Click(int index);
    /// The preview the last print opened (null once closed).
    frmIspisCR *lastPreview() const { return m_lastPreview; }
    /// Carry-over of last year's groups: 0 as they are, 1 and 2 through a translation code.
    void mnuPrepišiProšlu_Click(int index);

    QString selectedGroupKey() const { return m_groupKey; }
    QString selectedGroupTag() const { return m_groupTag; }

    /// A group by its key, an account of it and a partner on the account.
    bool clickPath(const QStringList &codes, QString *notFound = nullptr) override;

    /// The definition window, modal to this window, opened for a group key by the group
    /// commands; a script may take the window's place (for work without a screen and for tests).
    void setDefinitionScript(DefinitionScript script) { m_definitionScript = std::move(script); }

    /// The definition window's save without the window: the group opened by its key gets the
    /// name, the kind letter and exactly these accounts of the year (without accounts, the ones it
    /// has stay); the tree is refreshed. False when it could not be saved (the window's messages
    /// say why).
    bool spremiDefiniciju(const QString &key, const QString &name, const QString &kindLetter,
                          const std::optional<QStringList> &accounts,
                          const DefinitionScript &beforeSave = {});

    std::array<QPushButton *, 5> cmdVP{}; ///< 0, 1, 2 and 4; index 3 has no button
    QMenu *mnuGrupe;
    std::array<QAction *, 5> mnuRadSaGrupom{};
    std::array<QAction *, 2> mnuPrihodi{};
    QMenu *mnuIspisPodataka;
    std::array<QAction *, 3> mnuIspisP{};
    QAction *mnuSepG;
    std::array<QAction *, 3> mnuPrepišiProšlu{};

protected:
    void fillTree() override { NapuniGrupe(); }
    void nodeClick(QTreeWidgetItem *node) override;
    /// Draws the chart of the last clicked node (a partner node draws its partner chart).
    void drawChart() override;

private:
    void addGroup(const QString &key, class BusyCursor &busy);
    void loadPartners(QTreeWidgetItem *account);
    void drawPartner(QTreeWidgetItem *partner);
    void openDefinition(const QString &key);
    void newGroup();
    void deleteGroup();
    /// The share report's rows; progress names the work whose progress box a message ends.
    Recordset groupShareRows(const QString &progress);
    frmIspisCR *showReport(std::unique_ptr<class Report> report, const QString &title,
                           const Recordset &rows);

    QPointer<frmIspisCR> m_lastPreview;
    QString m_groupKey;
    QString m_groupTag;
    DefinitionScript m_definitionScript;
};
