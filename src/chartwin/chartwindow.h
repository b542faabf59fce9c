#pragma once

#include "chartwin/hostcontext.h"
#include "chartwin/twipslayout.h"
#include "chartwin/windowdesign.h"
#include "output/monthlytotals.h"
#include "platform/data/pristuppodacima.h"
#include "platform/data/recordset.h"
#include "platform/services.h"

#include <QColor>
#include <QMainWindow>
#include <QVector>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class ChartControl;
class KeyedTree;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class QTreeWidgetItem;
class RecordsetModel;
class UpDown;

/// The frame every chart window is built on: the top band of selection controls, the tree on the
/// left, chart and grid sharing the right, the menus, showing, the layout rule, the settings kept
/// per user, the drawing step, and the presentation controls that act on the chart without a
/// query.
///
/// A window kind describes how it differs (WindowDesign), adds its own menus and buttons in its
/// constructor, and brings its tree fill, its node click and, if it needs them, steps before the
/// window is shown.
class ChartWindow : public QMainWindow
{
    Q_OBJECT
public:
    using Option = WindowDesign::Option;
    ChartWindow(const Services &services, std::shared_ptr<HostContext> host,
                const WindowDesign &design, QWidget *parent = nullptr);
    ~ChartWindow() override;

    /// The turnover table name; setting it does not load the window.
    QString ImeBazePrometa;

    /// Loads the window if needed, restores the settings (which draws a first chart) and shows it:
    /// mode 0 returns at once, mode 1 after the window has closed.
    void Prikaži(int mode, QString &vrstaPrograma);

    /// Sends the rows of a record set to the spreadsheet program, header first.
    void PrebaciUExcel(Recordset &rsZap);

    static qint16 RedFromRGB(qint32 color) { return qint16(color & 255); }
    static qint16 GreenFromRGB(qint32 color) { return qint16((color >> 8) & 255); }
    static qint16 BlueFromRGB(qint32 color) { return qint16((color >> 16) & 255); }

    // Controls, by their names in the window's description. fraIznosi is null in a window without
    // amount kinds; txtGodina[1], UpDown2 and Label4 in a window with one year box.
    QCheckBox *chkNaslagati;
    std::array<QLineEdit *, 2> txtMj;
    QGroupBox *fraIznosi = nullptr;
    QVector<QRadioButton *> optVrijednost;
    UpDown *UpDown1, *UpDown2 = nullptr, *UpDown3, *UpDown4;
    std::array<QLineEdit *, 2> txtGodina{};
    QCheckBox *chkRedIliKolona;
    KeyedTree *tv;
    QLineEdit *txtkonto;
    QComboBox *cmbScale;
    QComboBox *cmbType;
    QPushButton *Command1;
    QTableView *dgPodaci;
    QLabel *Label1, *Label2, *Label3, *Label4 = nullptr, *Label5, *Label6;
    QLabel *lblVrijednost;
    ChartControl *MSChart1;

    QAction *mnuNapuniKonta;
    QAction *mnuPatern;
    QAction *mnuPregledPodataka;
    QAction *mnuIspis;
    QMenu *mnuPostavkeZaGraf;
    std::array<QAction *, 5> mnuPostGraf;
    QAction *mnuUExcel;
    QAction *mnuIzlaz;

    // Window state.
    const WindowDesign &design() const { return m_design; }
    Recordset &chartRecordset() { return m_chartRs; }
    const Recordset &chartRecordset() const { return m_chartRs; }
    QTreeWidgetItem *lastNode() const { return m_lastNode; }
    QString lastSql() const { return m_lastSql; }
    bool isLoaded() const { return m_loaded; }
    /// The settings' application name: the caption at the moment of the call.
    QString applicationName() const { return windowTitle(); }

    // Handlers, public so that the launcher and tests can drive them as a user would.
    void cmbType_Click();
    void cmbScale_Click();
    void chkNaslagati_Click();
    void chkRedIliKolona_Click();
    void mnuPostGraf_Click(int index);
    void mnuPregledPodataka_Click();
    void mnuNapuniKonta_Click();
    /// The Prikaži button: draws the chart of what the last click chose (drawChart).
    void Command1_Click() { drawChart(); }
    /// Prints the chart's picture on the default printer, after asking.
    void mnuIspis_Click();
    /// Switches every series to numbered fill patterns on white, or back to colour.
    void mnuPatern_Click();
    // The chart's notifications: series and points count from 1.
    void MSChart1_PointSelected(int series, int point);
    void MSChart1_TitleActivated() { mnuPostGraf_Click(3); }
    void MSChart1_FootnoteActivated() { mnuPostGraf_Click(4); }
    void MSChart1_LegendActivated();
    void MSChart1_SeriesActivated(int series);
    /// Re-runs the node-click handling with the last clicked node.
    void redraw();
    /// Loads the window (once): lists, defaults, hidden chart, tree fill.
    void load();

    /// How the monthly report of the rows on display makes their year figures and whether it adds
    /// them up: here each row's months are summed and the rows are like things that add up.
    virtual MonthlyTotals monthlyTotals() const { return {}; }

    /// The chart type list (cmbType) and the axis scale list (cmbScale), in their order.
    static QStringList chartTypeNames();
    static QStringList scaleNames();
    /// A partner's node text: its name and, in brackets, its code; a partner without a name is
    /// said to have none.
    static QString partnerText(const QString &name, const QString &code);

    /// Twips of the layout in pixels, as the controls' font stretches them.
    int pixelsX(double twips) const;
    int pixelsY(double twips) const;

    /// Clicks the node with this key, as a user would; false when there is none.
    bool clickKey(const QString &key);
    /// Clicks down a path of codes, outermost first (what they name is the kind's business: an
    /// account and a partner, a group, its account and a partner, ...); an empty code ends the
    /// path. False when a code names no node; *notFound then says which, and where the choices
    /// are few, what there is instead.
    virtual bool clickPath(const QStringList &codes, QString *notFound = nullptr);

protected:
    // The window kind's hooks.
    /// Its tree fill, run by the load (when the design says so) and by the refill menu.
    virtual void fillTree() = 0;
    /// Its node-click handling; null when nothing was clicked yet.
    virtual void nodeClick(QTreeWidgetItem *node) = 0;
    /// Its chart of what the last click chose: the Prikaži button, and most clicks.
    virtual void drawChart() = 0;
    /// The kind's steps after the settings are restored and before the window is shown.
    virtual void beforeShow() {}
    /// What the kind adds to the caption after the cost-centre words and before the settings are
    /// read, so that each variant keeps settings of its own.
    virtual QString captionAddition() const { return {}; }

    const Services &services() const { return m_services; }
    Dialogs &dialogs() const { return *m_services.dialogs; }
    const HostContext &host() const { return *m_host; }
    std::shared_ptr<HostContext> hostContext() const { return m_host; }
    /// Places a kind's own control by the twips layout, stretched with the frame's.
    void place(QWidget *w, int left, int top, int width, int height);
    cPristupPodacima &pristup();
    void setLastNode(QTreeWidgetItem *node) { m_lastNode = node; }
    /// Empties the tree; the last clicked node, which was one of its nodes, is forgotten with it.
    void clearTree();
    /// Empties the tree and fills it anew out of sight: addNodes adds the nodes (and may say
    /// what it meets).
    void refillTree(const std::function<void()> &addNodes);
    /// The partner level under an account node: the partners with turnover on the account of
    /// txtkonto in the years of the boxes, by name, each "name (code)" keyed keyPrefix + code and
    /// tagged tag; a read that fails says "GREŠKA DISTINCT Komit".
    void fillPartners(QTreeWidgetItem *account, const QString &keyPrefix, const QString &tag);
    /// The code of a partner node, from its text "name (code)".
    static QString partnerCodeOf(const QTreeWidgetItem *partner);
    /// A node of the tree by what code makes of it: the first child of parent (a top-level node
    /// for none) whose code is wanted (an empty one names none); null when none is, *seen then
    /// holds every child's code.
    QTreeWidgetItem *findChild(QTreeWidgetItem *parent, const QString &wanted,
                               const std::function<QString(const QTreeWidgetItem *)> &code,
                               QStringList *seen) const;
    /// The partner node under an account by its code, the level filled in whole first; null when
    /// none, *seen then holds the codes there are.
    QTreeWidgetItem *partnerNode(QTreeWidgetItem *account, const QString &code, QStringList *seen);
    /// The month boxes as whole months; false when one lies outside 0..12.
    bool monthRange(qint16 *first, qint16 *last) const;
    void setLastSql(const QString &sql) { m_lastSql = sql; }
    /// Index of the selected amount kind, -1 when none.
    int selectedAmountKind() const;
    /// The year boxes as plain decimal text for SQL; the to-year of a one-year window is its year.
    QString firstYear() const;
    QString lastYear() const;
    /// Emits the tree's click on a node, as the mouse does.
    void click(QTreeWidgetItem *node);
    /// For a path that names no node: what was not found, then the choices when they are few
    /// (" Ondje su: a, b, c."), into *notFound when asked for.
    static bool notFoundAmong(QString *notFound, const QString &what, const QStringList &choices);

    // Room for a kind's own menus: a new menu or item on the menu bar before an existing one.
    QMenu *insertMenu(QAction *before, const QString &caption);
    QAction *insertMenuAction(QAction *before, const QString &caption);

    struct Failure
    {
        QString text;
        Dialogs::Icon icon = Dialogs::Exclamation;
        bool withCause = false; ///< the database's description follows on a line of its own
        QString title = Dialogs::defaultTitle();
    };
    /// Builds a chart statement for a month range.
    using Statement = std::function<QString(qint16 firstMonth, qint16 lastMonth)>;
    /// What a kind makes of the rows a drawing opened before chart and grid get them: rows may be
    /// put in another order or added (the grid, the export and the report take them all), and
    /// the chart may draw only the rows a record set filter lets through.
    struct Shaping
    {
        std::function<void(Recordset &rows)> rows;
        QString chartFilter; ///< empty: the chart draws every row
    };
    /// The drawing step: the statement for the month boxes' range, opened into the chart record
    /// set under the hourglass, shaped, then the rows handed to chart and grid under the title. A
    /// month outside 0..12, an empty statement or a failed open shows the failure, and the chart
    /// keeps what it showed.
    bool draw(const Statement &statement, const QString &title, const Failure &failure,
              const Shaping &shaping = {});
    /// A read into a record set of its own (a tree level's, a report's), under the hourglass: the
    /// chart's rows stay the chart's. On error the failure is shown, when there is one.
    bool openFill(const QString &sql, Recordset &rs,
                  const std::optional<Failure> &failure = std::nullopt);

    void displaySettings();
    void formatGrid();
    void showFailure(const Failure &failure);

    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    void buildMenus();
    void fitToFont();
    void connectControls();
    void showStatus(const QString &text);
    void layoutToWindow();
    int bandWidthPixels() const;
    void restoreSettings();
    void saveSettings();
    void textBoxChanged(QLineEdit *box);
    void handToChart(const QString &title, const Shaping &shaping, class BusyCursor &busy);

    Services m_services;
    std::shared_ptr<HostContext> m_host;
    WindowDesign m_design;
    bool m_loaded = false;
    bool m_shown = false;
    Recordset m_chartRs;
    QTreeWidgetItem *m_lastNode = nullptr;
    QString m_lastSql;
    std::unique_ptr<cPristupPodacima> m_pristup;
    RecordsetModel *m_gridModel = nullptr;
    QWidget *m_client = nullptr;
    QHash<QLineEdit *, QString> m_boxTexts;
    TwipsLayout m_layout{this};
    QColor m_dialogColor = Qt::black; ///< the colour dialog's colour, kept while the window lives
};
