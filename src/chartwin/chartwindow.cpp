#include "chartwindow.h"

#include "chartwin/vbtext.h"
#include "output/moduexcel.h"
#include "output/recordsetmodel.h"
#include "platform/chart/chartcontrol.h"
#include "platform/dialogs/busycursor.h"
#include "platform/widgets/keyedtree.h"
#include "platform/widgets/updown.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>

namespace {

const QString kPatterns = QStringLiteral("Patern-za crno-bijelo");
const QString kColourReset = QStringLiteral("Prikaz u boji - reset");

const QString kSection = QStringLiteral("Settings");
const QString kChartView = QStringLiteral("Pregled podataka");
const QString kGridView = QStringLiteral("Pregled grafikona");

double twipsPerPixel(const QWidget *w)
{
    const int dpi = w->logicalDpiX() > 0 ? w->logicalDpiX() : 96;
    return 1440.0 / dpi;
}

} // namespace

ChartWindow::ChartWindow(const Services &services, const QString &designCaption,
                         const QVector<Option> &amountKinds, QWidget *parent)
    : QMainWindow(parent), m_services(services)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(designCaption);
    // the twips layout was drawn for an 8-point face
    QFont f = font();
    f.setPointSizeF(8);
    setFont(f);
    build(amountKinds);
}

ChartWindow::~ChartWindow() = default;

cPristupPodacima &ChartWindow::pristup()
{
    if (!m_pristup)
        m_pristup = std::make_unique<cPristupPodacima>();
    return *m_pristup;
}

void ChartWindow::place(QWidget *w, int left, int top, int width, int height)
{
    const double t = twipsPerPixel(this);
    w->setGeometry(qRound(left / t), qRound(top / t), qRound(width / t), qRound(height / t));
}

void ChartWindow::build(const QVector<Option> &amountKinds)
{
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    QWidget *c = m_client;
    const QString rangeTip =
        QStringLiteral("Ovdje se definira opseg podataka koji se prikazuju (od-do godine). Poslije "
                       "izmjene godine osvježite konta!");
    const QString groupTip =
        QStringLiteral("Prikazati podatke po grupirane po mjesecima ili po godinama");

    Command1 = new QPushButton(QStringLiteral("Prikaži"), c);
    Command1->setToolTip(QStringLiteral("Prikaz - generiranje grafa"));
    place(Command1, 0, 120, 1215, 495);
    Label1 = new QLabel(QStringLiteral("Tip grafa:"), c);
    place(Label1, 1320, 0, 975, 255);
    cmbType = new QComboBox(c);
    cmbType->setToolTip(QStringLiteral("Izbor vrste grafikona"));
    place(cmbType, 2040, 0, 1455, 315);
    cmbScale = new QComboBox(c);
    cmbScale->setToolTip(QStringLiteral("Izbor tipa ose"));
    place(cmbScale, 3600, 0, 1215, 315);
    Label2 = new QLabel(QStringLiteral("Konto:"), c);
    place(Label2, 4920, 0, 615, 255);
    txtkonto = new QLineEdit(c);
    txtkonto->setToolTip(QStringLiteral("Konto koje se prikazuje"));
    place(txtkonto, 5520, 0, 1095, 285);
    lblVrijednost = new QLabel(QStringLiteral("Vrijednost"), c);
    lblVrijednost->setToolTip(
        QStringLiteral("Ovdje se prikazuje vrijednost na točku na grafikonu koju ste selektirali"));
    place(lblVrijednost, 6720, 0, 1095, 255);
    chkNaslagati = new QCheckBox(QStringLiteral("Naslagati"), c);
    chkNaslagati->setToolTip(groupTip);
    place(chkNaslagati, 7800, 120, 1095, 195);

    fraIznosi = new QGroupBox(QStringLiteral("Prikaz iznosa"), c);
    fraIznosi->setToolTip(QStringLiteral(
        "Ovdje se definiraju iznosi koji se žele prikazati - duguvni, potražni ili oba iznosa"));
    place(fraIznosi, 9000, 0, 5415, 615);
    static const int optLeft[] = {120, 960, 1920, 3120, 4200};
    static const int optWidth[] = {855, 975, 1215, 1095, 1095};
    for (int i = 0; i < amountKinds.size(); ++i) {
        auto *o = new QRadioButton(amountKinds[i].caption, fraIznosi);
        o->setToolTip(amountKinds[i].toolTip);
        place(o, optLeft[qMin(i, 4)], 240, optWidth[qMin(i, 4)], 255);
        optVrijednost << o;
        connect(o, &QRadioButton::clicked, this, [this] { redraw(); });
    }
    if (!optVrijednost.isEmpty())
        optVrijednost[0]->setChecked(true);

    chkRedIliKolona = new QCheckBox(QStringLiteral("Po koloni ili redu"), c);
    chkRedIliKolona->setToolTip(groupTip);
    place(chkRedIliKolona, 1320, 360, 1935, 195);
    // the captions before the boxes stand against them, clear of the check box on their left;
    // the year caption starts right after the month spinner so that it is not cut short
    Label6 = new QLabel(QStringLiteral("Mj:"), c);
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(Label6, 2640, 360, 975, 255);
    Label5 = new QLabel(QStringLiteral("do"), c);
    place(Label5, 4320, 360, 375, 255);
    Label3 = new QLabel(QStringLiteral("Za godinu: Od:"), c);
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(Label3, 5280, 360, 1215, 255);
    Label4 = new QLabel(QStringLiteral("do"), c);
    place(Label4, 7560, 360, 375, 255);

    // Each box has its spinner right beside it (180 twips wide).
    auto box = [&](int left, int width, const QString &text, int min, int max, UpDown **spinner) {
        auto *e = new QLineEdit(text, c);
        e->setToolTip(rangeTip);
        place(e, left, 360, width, 285);
        *spinner = new UpDown(e, min, max, c);
        place(*spinner, left + width, 360, 180, 285);
        m_boxTexts.insert(e, text);
        connect(e, &QLineEdit::textChanged, this, [this, e] { textBoxChanged(e); });
        return e;
    };
    txtMj[0] = box(3720, 375, QStringLiteral("0"), 0, 12, &UpDown3);
    txtMj[1] = box(4680, 375, QStringLiteral("12"), 0, 12, &UpDown4);
    txtGodina[0] = box(6600, 990, QString(), 1990, 2999, &UpDown1);
    txtGodina[1] = box(7920, 735, QString(), 1990, 2999, &UpDown2);

    tv = new KeyedTree(c);
    tv->setToolTip(QStringLiteral(
        "Kliknite na konto za prikaz grafikona ili podataka, te otvaranje podčvorova"));
    place(tv, 0, 720, 3735, 3975);
    MSChart1 = new ChartControl(c);
    place(MSChart1, 3840, 720, 5655, 3975);
    dgPodaci = new QTableView(c);
    m_gridModel = new RecordsetModel(dgPodaci);
    dgPodaci->setModel(m_gridModel);
    dgPodaci->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgPodaci->hide();
    place(dgPodaci, 3840, 720, 5775, 3975);

    // Menus
    QMenuBar *bar = menuBar();
    mnuNapuniKonta = bar->addAction(QStringLiteral("Napuni listu konta"));
    mnuPatern = bar->addAction(kPatterns);
    mnuPregledPodataka = bar->addAction(kChartView);
    mnuIspis = bar->addAction(QStringLiteral("Ispis grafikona"));
    mnuPostavkeZaGraf = bar->addMenu(QStringLiteral("Postavke za grafikon"));
    const char *postGraf[] = {"Prikaz naslova", "Prikaz legende",
                              "Stacking - naslagati podatke na grafikonu", "Postavljanje naslova",
                              "Postavljanje footnote"};
    for (int i = 0; i < 5; ++i) {
        mnuPostGraf[i] = mnuPostavkeZaGraf->addAction(QString::fromUtf8(postGraf[i]));
        mnuPostGraf[i]->setCheckable(i < 3);
        connect(mnuPostGraf[i], &QAction::triggered, this, [this, i] { mnuPostGraf_Click(i); });
    }
    mnuUExcel = bar->addAction(QStringLiteral("U &Excel"));
    mnuIzlaz = bar->addAction(QStringLiteral("Izlaz"));

    connect(mnuNapuniKonta, &QAction::triggered, this, &ChartWindow::mnuNapuniKonta_Click);
    connect(mnuPregledPodataka, &QAction::triggered, this, &ChartWindow::mnuPregledPodataka_Click);
    connect(mnuIzlaz, &QAction::triggered, this, &QWidget::close);
    connect(mnuIspis, &QAction::triggered, this, &ChartWindow::mnuIspis_Click);
    connect(mnuPatern, &QAction::triggered, this, &ChartWindow::mnuPatern_Click);
    connect(MSChart1, &ChartControl::pointSelected, this, &ChartWindow::MSChart1_PointSelected);
    connect(MSChart1, &ChartControl::titleActivated, this, &ChartWindow::MSChart1_TitleActivated);
    connect(MSChart1, &ChartControl::footnoteActivated, this,
            &ChartWindow::MSChart1_FootnoteActivated);
    connect(MSChart1, &ChartControl::legendActivated, this, &ChartWindow::MSChart1_LegendActivated);
    connect(MSChart1, &ChartControl::seriesActivated, this, &ChartWindow::MSChart1_SeriesActivated);
    connect(MSChart1, &ChartControl::statusMessage, this, [this](const QString &text) {
        // the status line appears only when there is something to say; the chart makes room
        statusBar()->showMessage(text);
        statusBar()->show();
        layout()->activate();
        layoutToWindow();
    });
    connect(mnuUExcel, &QAction::triggered, this, [this] { PrebaciUExcel(m_chartRs); });
    connect(cmbType, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ChartWindow::cmbType_Click);
    connect(cmbScale, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ChartWindow::cmbScale_Click);
    connect(chkNaslagati, &QCheckBox::stateChanged, this, &ChartWindow::chkNaslagati_Click);
    connect(chkRedIliKolona, &QCheckBox::stateChanged, this, &ChartWindow::chkRedIliKolona_Click);
    connect(tv, &KeyedTree::nodeClicked, this, [this](QTreeWidgetItem *n) { nodeClick(n); });

    const double t = twipsPerPixel(this);
    resize(qRound(12000 / t), qRound(7900 / t));
}

void ChartWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    cmbType->addItems(
        {QStringLiteral("3D Bar"), QStringLiteral("2D Bar"), QStringLiteral("3D Linija"),
         QStringLiteral("2D Linija"), QStringLiteral("3D Područje"), QStringLiteral("2D Područje"),
         QStringLiteral("3D Korak"), QStringLiteral("2D Korak"), QStringLiteral("3D Kombinacija"),
         QStringLiteral("2D Kombinacija"), QStringLiteral("2D Torta"), QStringLiteral("2D XY")});
    cmbScale->addItems({QStringLiteral("Linearna os"), QStringLiteral("Procentna os"),
                        QStringLiteral("Logaritamska os")});
    const int year = QDate::currentDate().year();
    txtGodina[0]->setText(QString::number(year - 5));
    txtGodina[1]->setText(QString::number(year));
    txtMj[0]->setText(QStringLiteral("0"));
    txtMj[1]->setText(QStringLiteral("12"));
    MSChart1->hide();
    napuniStablo();
}

QString ChartWindow::setting(const QString &key, const QString &defaultValue) const
{
    return m_services.settings->get(applicationName(), kSection, key, defaultValue);
}

void ChartWindow::Prikaži(int mode, QString &vrstaPrograma)
{
    Q_UNUSED(vrstaPrograma);
    load();
    if (ImeBazePrometa.trimmed().toUpper() == u"PROMETMT")
        setWindowTitle(windowTitle() + QStringLiteral(" po mjestima troška"));
    {
        BusyCursor busy;
        restoreSettings();
    }
    if (mode == 1) {
        setWindowModality(Qt::ApplicationModal);
        QEventLoop loop;
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        show();
        m_shown = true;
        loop.exec();
    } else {
        show();
        m_shown = true;
    }
}

void ChartWindow::restoreSettings()
{
    // A stored value that cannot be read falls back to its key's default; the window still opens.
    const double t = twipsPerPixel(this);
    float left = 0, top = 0, width = 12000, height = 7900;
    VbText::toSingle(setting(QStringLiteral("MainLeft"), QStringLiteral("0")), &left);
    VbText::toSingle(setting(QStringLiteral("MainTop"), QStringLiteral("0")), &top);
    if (!VbText::toSingle(setting(QStringLiteral("MainWidth"), QStringLiteral("12000")), &width) ||
        width <= 0)
        width = 12000;
    if (!VbText::toSingle(setting(QStringLiteral("MainHeight"), QStringLiteral("7900")), &height) ||
        height <= 0)
        height = 7900;
    move(qRound(left / t), qRound(top / t));
    resize(qRound(width / t), qRound(height / t));

    const char *keys[] = {"PrikažiNaslov", "PrikažiLegendu", "PostaviStacking"};
    const bool defaults[] = {true, true, false};
    for (int i = 0; i < 3; ++i) {
        bool on = defaults[i];
        VbText::toBool(setting(QString::fromUtf8(keys[i]),
                               defaults[i] ? QStringLiteral("True") : QStringLiteral("False")),
                       &on);
        mnuPostGraf[i]->setChecked(on);
    }
    chkNaslagati->setChecked(mnuPostGraf[2]->isChecked());

    auto restoreIndex = [this](QComboBox *box, const QString &key, qint16 def,
                               void (ChartWindow::*click)()) {
        qint16 index = def;
        if (!VbText::toInt16Strict(setting(key, QString::number(def)), &index) || index < -1 ||
            index >= box->count())
            index = def;
        if (box->currentIndex() == index)
            (this->*click)(); // the list's click handling runs on every assignment
        else
            box->setCurrentIndex(index);
    };
    restoreIndex(cmbType, QStringLiteral("VrstaGrafa"), 9, &ChartWindow::cmbType_Click);
    restoreIndex(cmbScale, QStringLiteral("Skala"), 0, &ChartWindow::cmbScale_Click);

    txtMj[0]->setText(setting(QStringLiteral("PočetniMjesec"), QStringLiteral("0")));
    txtMj[1]->setText(setting(QStringLiteral("KonačniMjesec"), QStringLiteral("12")));
    txtGodina[0]->setText(setting(QStringLiteral("PočetnaGodina"), QStringLiteral("1998")));
    txtGodina[1]->setText(
        setting(QStringLiteral("KonačnaGodina"), QString::number(QDate::currentDate().year())));
}

void ChartWindow::saveSettings()
{
    const double t = twipsPerPixel(this);
    // a minimised or maximised window keeps its normal place, so it never reopens off screen
    const QRect g = (isMinimized() || isMaximized()) ? normalGeometry() : geometry();
    const QRect frame = (isMinimized() || isMaximized()) ? g : frameGeometry();
    auto save = [this](const char *key, const QString &value) {
        m_services.settings->save(applicationName(), kSection, QString::fromUtf8(key), value);
    };
    auto twips = [t](int px) { return QString::number(float(px * t)); };
    save("MainLeft", twips(frame.x()));
    save("MainTop", twips(frame.y()));
    save("MainWidth", twips(g.width()));
    save("MainHeight", twips(g.height()));
    save("VrstaGrafa", QString::number(cmbType->currentIndex()));
    save("Skala", QString::number(cmbScale->currentIndex()));
    auto boolText = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };
    save("PrikažiNaslov", boolText(mnuPostGraf[0]->isChecked()));
    save("PrikažiLegendu", boolText(mnuPostGraf[1]->isChecked()));
    save("PostaviStacking", boolText(mnuPostGraf[2]->isChecked()));
    save("PočetniMjesec", txtMj[0]->text());
    save("KonačniMjesec", txtMj[1]->text());
    save("PočetnaGodina", txtGodina[0]->text());
    save("KonačnaGodina", txtGodina[1]->text());
}

void ChartWindow::closeEvent(QCloseEvent *event)
{
    if (m_shown)
        saveSettings();
    event->accept();
}

void ChartWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutToWindow();
}

void ChartWindow::layoutToWindow()
{
    // Only five sizes follow the window; a size that would be negative is left as it was.
    const double t = twipsPerPixel(this);
    const int innerWidth = qRound(m_client->width() * t);
    const int innerHeight = qRound(m_client->height() * t);
    const int treeWidth = qRound(tv->width() * t);
    const int chartWidth = innerWidth - 200 - treeWidth;
    const int chartHeight = innerHeight - 800;
    auto size = [t](QWidget *w, int widthTwips, int heightTwips) {
        QSize s = w->size();
        if (widthTwips >= 0)
            s.setWidth(qRound(widthTwips / t));
        if (heightTwips >= 0)
            s.setHeight(qRound(heightTwips / t));
        w->resize(s);
    };
    size(MSChart1, chartWidth, chartHeight);
    size(tv, -1, chartHeight);
    size(dgPodaci, chartWidth, chartHeight);
}

void ChartWindow::textBoxChanged(QLineEdit *box)
{
    const QString text = box->text();
    if (m_boxTexts.value(box) == text)
        return;
    m_boxTexts.insert(box, text);
    redraw();
}

void ChartWindow::redraw()
{
    if (m_loaded)
        nodeClick(m_lastNode);
}

void ChartWindow::mnuNapuniKonta_Click()
{
    napuniStablo();
}

int ChartWindow::selectedAmountKind() const
{
    for (int i = 0; i < optVrijednost.size(); ++i)
        if (optVrijednost[i]->isChecked())
            return i;
    return -1;
}

void ChartWindow::cmbType_Click()
{
    static const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16};
    const int i = cmbType->currentIndex();
    if (i >= 0 && i < 12)
        MSChart1->setChartType(codes[i]);
}

void ChartWindow::cmbScale_Click()
{
    const QString text = cmbScale->currentText();
    if (text == u"Logaritamska os") {
        MSChart1->setScale(ChartModel::Logarithmic);
        MSChart1->setLogBase(10);
    } else if (text == u"Procentna os") {
        MSChart1->setScale(ChartModel::Percent);
    } else if (text == u"Linearna os") {
        MSChart1->setScale(ChartModel::Linear);
    }
}

void ChartWindow::chkNaslagati_Click()
{
    mnuPostGraf[2]->setChecked(chkNaslagati->isChecked());
    redraw();
}

void ChartWindow::chkRedIliKolona_Click()
{
    MSChart1->setSeriesInRow(!chkRedIliKolona->isChecked());
    MSChart1->refresh();
}

void ChartWindow::mnuPostGraf_Click(int index)
{
    // QAction toggles a checkable item by itself before this runs: the inversion has happened.
    switch (index) {
    case 0:
    case 1:
        displaySettings();
        break;
    case 2:
        chkNaslagati->setChecked(mnuPostGraf[2]->isChecked());
        displaySettings();
        break;
    case 3: {
        QString answer;
        if (dialogs().input(this, QStringLiteral("Unesite novi naslov na grafikonu:"),
                            QStringLiteral("Naslov na grafikonu"), MSChart1->titleText(), &answer))
            MSChart1->setTitleText(answer);
        break;
    }
    case 4: {
        QString answer;
        if (dialogs().input(this, QStringLiteral("Unesite footnotu - tekst na dnu grafikona:"),
                            QStringLiteral("Tekst na dnu grafikona"), MSChart1->footnoteText(),
                            &answer))
            MSChart1->setFootnoteText(answer);
        break;
    }
    default:
        break;
    }
}

void ChartWindow::displaySettings()
{
    if (!mnuPostGraf[0]->isChecked())
        MSChart1->setTitleText(QString());
    MSChart1->setLegendVisible(mnuPostGraf[1]->isChecked());
    MSChart1->setStacking(mnuPostGraf[2]->isChecked());
    if (mnuPregledPodataka->text() == kChartView) {
        dgPodaci->hide();
        MSChart1->show();
    } else {
        dgPodaci->show();
        MSChart1->hide();
    }
}

void ChartWindow::handToChart(const QString &title, BusyCursor &busy)
{
    m_chartRs.MoveFirst();
    {
        ChartControl::Batch once(*MSChart1);
        MSChart1->setDataSource(m_chartRs);
        MSChart1->setTitleText(title);
        displaySettings();
        MSChart1->setSeriesInRow(!chkRedIliKolona->isChecked());
        MSChart1->refresh();
    }
    QString error;
    const bool copied = MSChart1->copyToClipboard(&error);
    formatGrid();
    busy.restore();
    if (!copied)
        dialogs().message(this, QStringLiteral("Desila se greška: ") + error);
}

void ChartWindow::formatGrid()
{
    m_gridModel->setRecordset(m_chartRs);
    m_gridModel->setAmountFormat(true);
}

void ChartWindow::mnuPregledPodataka_Click()
{
    if (dgPodaci->isVisible() || mnuPregledPodataka->text() == kGridView) {
        dgPodaci->hide();
        mnuPregledPodataka->setText(kChartView);
        MSChart1->show();
        MSChart1->refresh();
    } else {
        formatGrid();
        dgPodaci->show();
        MSChart1->hide();
        mnuPregledPodataka->setText(kGridView);
    }
}

void ChartWindow::PrebaciUExcel(Recordset &rsZap)
{
    modUExcel::PrebaciUExcel(m_services, rsZap, this);
}

void ChartWindow::mnuIspis_Click()
{
    if (dialogs().message(this, QStringLiteral("Želite li ispisati grafikon?"), Dialogs::Question,
                          Dialogs::YesNo, QStringLiteral("Ispis grafikona")) != Dialogs::AnswerYes)
        return;
    // The picture goes through the clipboard, as the chart's copy puts it there.
    QString error;
    QImage picture;
    if (MSChart1->copyToClipboard(&error)) {
        picture = QGuiApplication::clipboard()->image();
        if (picture.isNull())
            error = QStringLiteral("Međuspremnik (clipboard) ne sadrži sliku grafikona.");
    }
    std::unique_ptr<QPrinter> printer;
    if (!picture.isNull() && m_services.printers)
        printer = m_services.printers->defaultPrinter(&error);
    else if (!picture.isNull())
        error = QStringLiteral("Nije postavljen zadani pisač (printer).");
    QPainter painter;
    if (printer && !painter.begin(printer.get()))
        error = QStringLiteral("Ispis na pisač \"%1\" nije moguć.").arg(printer->printerName());
    if (!painter.isActive()) {
        dialogs().message(this, QStringLiteral("Desila se greška: ") + error);
        return;
    }
    // At the top left of the printable area, in the size it has on the screen.
    const double scale = printer->resolution() / double(std::max(1, logicalDpiX()));
    painter.drawImage(QRectF(0, 0, picture.width() * scale, picture.height() * scale), picture);
    painter.end();
}

void ChartWindow::MSChart1_PointSelected(int series, int point)
{
    MSChart1->setColumn(series);
    MSChart1->setRow(point);
    lblVrijednost->setText(MSChart1->data()); // as the chart gives it, unformatted
}

void ChartWindow::MSChart1_LegendActivated()
{
    // As the menu item would: its check mark flips, then the display settings apply it.
    mnuPostGraf[1]->setChecked(!mnuPostGraf[1]->isChecked());
    mnuPostGraf_Click(1);
}

void ChartWindow::MSChart1_SeriesActivated(int series)
{
    QColor chosen;
    if (!dialogs().color(this, m_dialogColor, &chosen))
        return; // Cancel leaves the series as it was
    m_dialogColor = chosen;
    const qint32 rgb = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    const QColor color(RedFromRGB(rgb), GreenFromRGB(rgb), BlueFromRGB(rgb));
    if (MSChart1->chartType() == 2 || MSChart1->chartType() == 3)
        MSChart1->setSeriesPen(series, color);
    else
        MSChart1->setSeriesFill(series, color);
}

void ChartWindow::mnuPatern_Click()
{
    const int count = MSChart1->seriesCount();
    if (mnuPatern->text() == kColourReset) {
        mnuPatern->setText(kPatterns);
        const QString title = MSChart1->titleText();
        ChartControl::Batch once(*MSChart1);
        MSChart1->resetToDefaults();
        MSChart1->setSeriesInRow(!chkRedIliKolona->isChecked());
        MSChart1->setLegendVisible(true);
        MSChart1->setTitleText(title);
        displaySettings();
    } else {
        mnuPatern->setText(kColourReset);
        ChartControl::Batch once(*MSChart1);
        for (int i = 1; i <= count; ++i)
            MSChart1->setSeriesPattern(i, i, QColor(255, 255, 255));
    }
}
