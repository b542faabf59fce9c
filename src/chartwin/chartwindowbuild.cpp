// The frame's controls and menus, placed by the window's twips layout, and the layout rule on
// resize.
#include "chartwindow.h"

#include "output/recordsetmodel.h"
#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "platform/widgets/updown.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>

int ChartWindow::pixelsX(double twips) const
{
    return m_layout.pixelsX(twips);
}

int ChartWindow::pixelsY(double twips) const
{
    return m_layout.pixelsY(twips);
}

void ChartWindow::place(QWidget *w, int left, int top, int width, int height)
{
    m_layout.place(w, left, top, width, height);
}

void ChartWindow::build()
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
    // the caption ends where the list begins, which lies over the rest of its design width
    Label1 = new QLabel(QStringLiteral("Tip grafa:"), c);
    place(Label1, 1320, 0, 720, 255);
    cmbType = new QComboBox(c);
    cmbType->setToolTip(QStringLiteral("Izbor vrste grafikona"));
    place(cmbType, 2040, 0, 1395, 315);
    cmbScale = new QComboBox(c);
    cmbScale->setToolTip(QStringLiteral("Izbor tipa ose"));
    // the two lists share their room evenly and the axis list reaches into the gap before the
    // account's caption, so that "Logaritamska os" shows whole without widening the window more
    place(cmbScale, 3480, 0, 1395, 315);
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

    if (!m_design.amountKinds.isEmpty()) {
        fraIznosi = new QGroupBox(QStringLiteral("Prikaz iznosa"), c);
        fraIznosi->setToolTip(QStringLiteral("Ovdje se definiraju iznosi koji se žele prikazati - "
                                             "duguvni, potražni ili oba iznosa"));
        place(fraIznosi, 9000, 0, m_design.amountFrameWidth, 615);
        for (int i = 0; i < m_design.amountKinds.size(); ++i) {
            auto *o = new QRadioButton(m_design.amountKinds[i].caption, fraIznosi);
            o->setToolTip(m_design.amountKinds[i].toolTip);
            place(o, m_design.amountKinds[i].left, 240, m_design.amountKinds[i].width, 255);
            optVrijednost << o;
        }
        optVrijednost[0]->setChecked(true);
    }

    chkRedIliKolona = new QCheckBox(QStringLiteral("Po koloni ili redu"), c);
    chkRedIliKolona->setToolTip(groupTip);
    place(chkRedIliKolona, 1320, 360, 1935, 195);
    // the captions before the boxes stand against them, clear of the check box on their left;
    // the year caption starts right after the month spinner so that it is not cut short
    Label6 = new QLabel(QStringLiteral("Mj:"), c);
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(Label6, 2640, 360, 975, 255);
    Label5 = new QLabel(QStringLiteral("do"), c);
    place(Label5, 4320, 360, 360, 255);
    Label3 = new QLabel(m_design.yearCaption, c);
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(Label3, 5280, 360, 1215, 255);

    // Each box has its spinner right beside it (180 twips wide).
    auto box = [&](int left, int width, const QString &text, int min, int max, UpDown **spinner) {
        auto *e = new QLineEdit(text, c);
        e->setToolTip(rangeTip);
        place(e, left, 360, width, 285);
        *spinner = new UpDown(e, min, max, c);
        place(*spinner, left + width, 360, 180, 285);
        m_boxTexts.insert(e, text);
        return e;
    };
    txtMj[0] = box(3720, 375, m_design.firstMonthDefault, 0, 12, &UpDown3);
    txtMj[1] = box(4680, 375, QStringLiteral("12"), 0, 12, &UpDown4);
    txtGodina[0] = box(6600, 990, QString(), 1990, 2999, &UpDown1);
    if (m_design.twoYearBoxes) {
        Label4 = new QLabel(QStringLiteral("do"), c);
        // the from-year's spinner takes the place the design gave this caption: it moves right
        place(Label4, 7770, 360, 330, 255);
        txtGodina[1] = box(8100, 720, QString(), 1990, 2999, &UpDown2);
    }

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
    buildMenus();
}

void ChartWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    mnuNapuniKonta = bar->addAction(m_design.refillCaption);
    mnuPatern = bar->addAction(QStringLiteral("Patern-za crno-bijelo"));
    mnuPregledPodataka = bar->addAction(QStringLiteral("Pregled podataka"));
    mnuIspis = bar->addAction(QStringLiteral("Ispis grafikona"));
    mnuPostavkeZaGraf = bar->addMenu(QStringLiteral("Postavke za grafikon"));
    const char *postGraf[] = {"Prikaz naslova", "Prikaz legende",
                              "Stacking - naslagati podatke na grafikonu", "Postavljanje naslova",
                              "Postavljanje footnote"};
    for (int i = 0; i < 5; ++i) {
        mnuPostGraf[i] = mnuPostavkeZaGraf->addAction(QString::fromUtf8(postGraf[i]));
        mnuPostGraf[i]->setCheckable(i < 3);
    }
    mnuUExcel = bar->addAction(QStringLiteral("U &Excel"));
    mnuIzlaz = bar->addAction(QStringLiteral("Izlaz"));
}

QMenu *ChartWindow::insertMenu(QAction *before, const QString &caption)
{
    auto *menu = new QMenu(caption, this);
    menuBar()->insertMenu(before, menu);
    return menu;
}

QAction *ChartWindow::insertMenuAction(QAction *before, const QString &caption)
{
    auto *action = new QAction(caption, this);
    menuBar()->insertAction(before, action);
    return action;
}

void ChartWindow::fitToFont()
{
    // The layout was drawn in twips for a narrower face than the one the controls use here.
    // each list as wide as its longest entry ("Logaritamska os", "3D Kombinacija")
    for (QComboBox *combo : {cmbType, cmbScale}) {
        QString widest;
        for (int i = 0; i < combo->count(); ++i)
            if (combo->fontMetrics().horizontalAdvance(combo->itemText(i)) >
                combo->fontMetrics().horizontalAdvance(widest))
                widest = combo->itemText(i);
        TwipsLayout::setFitText(combo, widest);
    }
    QList<QWidget *> texts = {Label1,       cmbType,         cmbScale, Label2, lblVrijednost,
                              chkNaslagati, chkRedIliKolona, Label6,   Label5, Label3};
    for (QRadioButton *o : std::as_const(optVrijednost))
        texts << o;
    if (Label4)
        texts << Label4;
    m_layout.fit(texts, {cmbType, txtkonto});
    for (QComboBox *combo : {cmbType, cmbScale}) {
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = qMax(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
        combo->view()->setMinimumWidth(widest + pixelsX(300));
    }
}

int ChartWindow::bandWidthPixels() const
{
    int right = 0;
    const QList<QWidget *> children =
        m_client->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (const QWidget *w : children) {
        const QRectF design = m_layout.designOf(w);
        if (!design.isNull() && design.top() < 720)
            right = qMax(right, w->geometry().right() + 1);
    }
    // and the menu bar shows every menu
    return qMax(right + pixelsX(120), menuBar()->sizeHint().width());
}

void ChartWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutToWindow();
}

void ChartWindow::layoutToWindow()
{
    // Only five sizes follow the window; a size that would be negative is left as it was.
    const QRectF inner = m_layout.toTwips(QRect(QPoint(), m_client->size()));
    const double treeWidth = m_layout.toTwips(QRect(QPoint(), tv->size())).width();
    const double chartWidth = inner.width() - 200 - treeWidth;
    const double chartHeight = inner.height() - 800;
    auto size = [this](QWidget *w, double widthTwips, double heightTwips) {
        QSize s = w->size();
        if (widthTwips >= 0)
            s.setWidth(pixelsX(widthTwips));
        if (heightTwips >= 0)
            s.setHeight(pixelsY(heightTwips));
        w->resize(s);
    };
    size(MSChart1, chartWidth, chartHeight);
    size(tv, -1, chartHeight);
    size(dgPodaci, chartWidth, chartHeight);
}

void ChartWindow::showStatus(const QString &text)
{
    // the status line appears only when there is something to say; the chart makes room
    statusBar()->showMessage(text);
    statusBar()->show();
    layout()->activate();
    layoutToWindow();
}
