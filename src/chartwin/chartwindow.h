#pragma once

#include "platform/data/pristuppodacima.h"
#include "platform/data/recordset.h"
#include "platform/services.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QVector>

#include <array>
#include <memory>

class BusyCursor;
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
/// per user, and the presentation controls that act on the chart without a query.
///
/// A window kind brings its tree fill and its node-click handling.
class ChartWindow : public QMainWindow
{
    Q_OBJECT
public:
    struct Option
    {
        QString caption;
        QString toolTip;
    };
    ChartWindow(const Services &services, const QString &designCaption,
                const QVector<Option> &amountKinds, QWidget *parent = nullptr);
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

    // Controls, by their names in the window's description.
    QCheckBox *chkNaslagati;
    std::array<QLineEdit *, 2> txtMj;
    QGroupBox *fraIznosi;
    QVector<QRadioButton *> optVrijednost;
    UpDown *UpDown1, *UpDown2, *UpDown3, *UpDown4;
    std::array<QLineEdit *, 2> txtGodina;
    QCheckBox *chkRedIliKolona;
    KeyedTree *tv;
    QLineEdit *txtkonto;
    QComboBox *cmbScale;
    QComboBox *cmbType;
    QPushButton *Command1;
    QTableView *dgPodaci;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6;
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
    Recordset &chartRecordset() { return m_chartRs; }
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

protected:
    /// The window kind's tree fill, run by the load and by mnuNapuniKonta.
    virtual void napuniStablo() = 0;
    /// The window kind's node-click handling; null when nothing was clicked yet.
    virtual void nodeClick(QTreeWidgetItem *node) = 0;

    const Services &services() const { return m_services; }
    Dialogs &dialogs() const { return *m_services.dialogs; }
    cPristupPodacima &pristup();
    void setLastNode(QTreeWidgetItem *node) { m_lastNode = node; }
    void setLastSql(const QString &sql) { m_lastSql = sql; }
    /// Index of the selected amount kind, -1 when none.
    int selectedAmountKind() const;

    /// The common tail of a drawing: binds the chart record set to the chart and the grid with the
    /// given title, and brings the normal pointer back.
    void handToChart(const QString &title, BusyCursor &busy);
    void displaySettings();
    void formatGrid();

    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build(const QVector<Option> &amountKinds);
    void place(QWidget *w, int left, int top, int width, int height);
    void layoutToWindow();
    void restoreSettings();
    void saveSettings();
    QString setting(const QString &key, const QString &defaultValue) const;
    void textBoxChanged(QLineEdit *box);

    Services m_services;
    bool m_loaded = false;
    bool m_shown = false;
    Recordset m_chartRs;
    QTreeWidgetItem *m_lastNode = nullptr;
    QString m_lastSql;
    std::unique_ptr<cPristupPodacima> m_pristup;
    RecordsetModel *m_gridModel;
    QWidget *m_client;
    QHash<QLineEdit *, QString> m_boxTexts;
    QColor m_dialogColor = Qt::black; ///< the colour dialog's colour, kept while the window lives
};
