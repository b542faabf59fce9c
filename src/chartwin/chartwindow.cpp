// The frame's life: load, show, the settings kept per user, closing, the refresh triggers and the
// drawing step every window kind draws through.
#include "chartwindow.h"

#include "book/bookstatements.h"
#include "book/sqltext.h"
#include "chartwin/windowsettings.h"
#include "platform/chart/chartcontrol.h"
#include "platform/clock/clock.h"
#include "platform/dialogs/busycursor.h"
#include "platform/text/vbtext.h"
#include "platform/widgets/keyedtree.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <cmath>

namespace {

// Where a window can be: every screen's available area, in twips.
QRectF screensInTwips(double t)
{
    QRect all;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *s : screens)
        all = all.united(s->availableGeometry());
    return QRectF(all.x() * t, all.y() * t, all.width() * t, all.height() * t);
}

} // namespace

ChartWindow::ChartWindow(const Services &services, std::shared_ptr<HostContext> host,
                         const WindowDesign &design, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_host(std::move(host)), m_design(design)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(m_design.caption);
    // the twips layout was drawn for an 8-point face
    QFont f = font();
    f.setPointSizeF(8);
    setFont(f);
    build();
    connectControls();
    const double t = m_layout.twipsPerPixel();
    resize(qRound(12000 / t), qRound(7900 / t));
}

ChartWindow::~ChartWindow() = default;

void ChartWindow::connectControls()
{
    connect(Command1, &QPushButton::clicked, this, &ChartWindow::Command1_Click);
    for (QRadioButton *o : std::as_const(optVrijednost))
        connect(o, &QRadioButton::clicked, this, [this] { redraw(); });
    for (QLineEdit *e : {txtMj[0], txtMj[1], txtGodina[0], txtGodina[1]})
        if (e)
            connect(e, &QLineEdit::textChanged, this, [this, e] { textBoxChanged(e); });
    for (int i = 0; i < 5; ++i)
        connect(mnuPostGraf[i], &QAction::triggered, this, [this, i] { mnuPostGraf_Click(i); });
    connect(mnuNapuniKonta, &QAction::triggered, this, &ChartWindow::mnuNapuniKonta_Click);
    connect(mnuPregledPodataka, &QAction::triggered, this, &ChartWindow::mnuPregledPodataka_Click);
    connect(mnuIzlaz, &QAction::triggered, this, &QWidget::close);
    connect(mnuIspis, &QAction::triggered, this, &ChartWindow::mnuIspis_Click);
    connect(mnuPatern, &QAction::triggered, this, &ChartWindow::mnuPatern_Click);
    connect(mnuUExcel, &QAction::triggered, this, [this] { PrebaciUExcel(m_chartRs); });
    connect(MSChart1, &ChartControl::pointSelected, this, &ChartWindow::MSChart1_PointSelected);
    connect(MSChart1, &ChartControl::titleActivated, this, &ChartWindow::MSChart1_TitleActivated);
    connect(MSChart1, &ChartControl::footnoteActivated, this,
            &ChartWindow::MSChart1_FootnoteActivated);
    connect(MSChart1, &ChartControl::legendActivated, this, &ChartWindow::MSChart1_LegendActivated);
    connect(MSChart1, &ChartControl::seriesActivated, this, &ChartWindow::MSChart1_SeriesActivated);
    connect(MSChart1, &ChartControl::statusMessage, this, &ChartWindow::showStatus);
    connect(cmbType, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ChartWindow::cmbType_Click);
    connect(cmbScale, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ChartWindow::cmbScale_Click);
    connect(chkNaslagati, &QCheckBox::stateChanged, this, &ChartWindow::chkNaslagati_Click);
    connect(chkRedIliKolona, &QCheckBox::stateChanged, this, &ChartWindow::chkRedIliKolona_Click);
    connect(tv, &KeyedTree::nodeClicked, this, [this](QTreeWidgetItem *n) { nodeClick(n); });
}

cPristupPodacima &ChartWindow::pristup()
{
    if (!m_pristup) {
        BookStatements::install();
        m_pristup = std::make_unique<cPristupPodacima>();
    }
    return *m_pristup;
}

QStringList ChartWindow::chartTypeNames()
{
    return {QStringLiteral("3D Bar"),         QStringLiteral("2D Bar"),
            QStringLiteral("3D Linija"),      QStringLiteral("2D Linija"),
            QStringLiteral("3D Područje"),    QStringLiteral("2D Područje"),
            QStringLiteral("3D Korak"),       QStringLiteral("2D Korak"),
            QStringLiteral("3D Kombinacija"), QStringLiteral("2D Kombinacija"),
            QStringLiteral("2D Torta"),       QStringLiteral("2D XY")};
}

QStringList ChartWindow::scaleNames()
{
    return {QStringLiteral("Linearna os"), QStringLiteral("Procentna os"),
            QStringLiteral("Logaritamska os")};
}

QString ChartWindow::partnerText(const QString &name, const QString &code)
{
    const QString shown = name.trimmed().isEmpty() ? QStringLiteral("Komitent bez naziva") : name;
    return shown + QStringLiteral(" (") + code + u')';
}

void ChartWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    cmbType->addItems(chartTypeNames());
    cmbScale->addItems(scaleNames());
    fitToFont();
    const int year = Clock::today().year();
    if (txtGodina[1]) {
        txtGodina[0]->setText(QString::number(year - 5));
        txtGodina[1]->setText(QString::number(year));
    } else {
        txtGodina[0]->setText(QString::number(year));
    }
    txtMj[0]->setText(m_design.firstMonthDefault);
    txtMj[1]->setText(QStringLiteral("12"));
    MSChart1->hide();
    if (m_design.fillsTreeOnLoad)
        fillTree();
}

void ChartWindow::Prikaži(int mode, QString &vrstaPrograma)
{
    Q_UNUSED(vrstaPrograma);
    load();
    if (ImeBazePrometa.trimmed().toUpper() == u"PROMETMT")
        setWindowTitle(windowTitle() + QStringLiteral(" po mjestima troška"));
    setWindowTitle(windowTitle() + captionAddition());
    {
        BusyCursor busy;
        restoreSettings();
        busy.restore();
        beforeShow();
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
    const double t = m_layout.twipsPerPixel();
    const WindowSettings s =
        WindowSettings::read(*m_services.settings, applicationName(), m_design, cmbType->count(),
                             cmbScale->count(), screensInTwips(t));
    move(qRound(s.left / t), qRound(s.top / t));
    // a first run opens wide enough for the whole top band, whatever the controls' font
    const int width = qRound(s.width / t);
    resize(s.widthStored ? width : qMax(width, bandWidthPixels()), qRound(s.height / t));

    mnuPostGraf[0]->setChecked(s.prikažiNaslov);
    mnuPostGraf[1]->setChecked(s.prikažiLegendu);
    mnuPostGraf[2]->setChecked(s.postaviStacking);
    chkNaslagati->setChecked(mnuPostGraf[2]->isChecked());

    // the list's click handling runs on every assignment, also of the index it already has
    if (cmbType->currentIndex() == s.vrstaGrafa)
        cmbType_Click();
    else
        cmbType->setCurrentIndex(s.vrstaGrafa);
    if (cmbScale->currentIndex() == s.skala)
        cmbScale_Click();
    else
        cmbScale->setCurrentIndex(s.skala);

    txtMj[0]->setText(s.početniMjesec);
    txtMj[1]->setText(s.konačniMjesec);
    if (m_design.keepsYears) {
        txtGodina[0]->setText(s.početnaGodina);
        if (txtGodina[1])
            txtGodina[1]->setText(s.konačnaGodina);
    }
}

void ChartWindow::saveSettings()
{
    const double t = m_layout.twipsPerPixel();
    // a minimised or maximised window keeps its normal place, so it never reopens off screen
    const QRect g = (isMinimized() || isMaximized()) ? normalGeometry() : geometry();
    const QRect frame = (isMinimized() || isMaximized()) ? g : frameGeometry();
    WindowSettings s = WindowSettings::defaults(m_design);
    s.left = float(frame.x() * t);
    s.top = float(frame.y() * t);
    s.width = float(g.width() * t);
    s.height = float(g.height() * t);
    s.vrstaGrafa = qint16(cmbType->currentIndex());
    s.skala = qint16(cmbScale->currentIndex());
    s.prikažiNaslov = mnuPostGraf[0]->isChecked();
    s.prikažiLegendu = mnuPostGraf[1]->isChecked();
    s.postaviStacking = mnuPostGraf[2]->isChecked();
    s.početniMjesec = txtMj[0]->text();
    s.konačniMjesec = txtMj[1]->text();
    s.početnaGodina = txtGodina[0]->text();
    if (txtGodina[1])
        s.konačnaGodina = txtGodina[1]->text();
    s.write(*m_services.settings, applicationName(), m_design);
}

void ChartWindow::closeEvent(QCloseEvent *event)
{
    if (m_shown)
        saveSettings();
    event->accept();
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
    fillTree();
}

int ChartWindow::selectedAmountKind() const
{
    for (int i = 0; i < optVrijednost.size(); ++i)
        if (optVrijednost[i]->isChecked())
            return i;
    return -1;
}

QString ChartWindow::firstYear() const
{
    return VbText::plainNumber(txtGodina[0]->text());
}

QString ChartWindow::lastYear() const
{
    return VbText::plainNumber((txtGodina[1] ? txtGodina[1] : txtGodina[0])->text());
}

void ChartWindow::click(QTreeWidgetItem *node)
{
    tv->setCurrentItem(node);
    emit tv->nodeClicked(node);
}

bool ChartWindow::clickKey(const QString &key)
{
    QTreeWidgetItem *n = tv->node(key);
    if (n)
        click(n);
    return n;
}

bool ChartWindow::clickPath(const QStringList &codes, QString *)
{
    return codes.isEmpty() || codes.first().isEmpty();
}

bool ChartWindow::notFoundAmong(QString *notFound, const QString &what, const QStringList &choices)
{
    // a list longer than this helps nobody on a line of its own
    constexpr int kFew = 25;
    if (notFound) {
        *notFound = what;
        if (!choices.isEmpty() && choices.size() <= kFew)
            *notFound += QStringLiteral(" Ondje su: ") + choices.join(QStringLiteral(", ")) + u'.';
    }
    return false;
}

bool ChartWindow::draw(const Statement &statement, const QString &title, const Failure &failure,
                       const Shaping &shaping)
{
    BusyCursor busy;
    // a month outside the year never reaches a statement: the drawing fails as a missing month
    // column would
    qint16 first = 0, last = 0;
    const QString sql = monthRange(&first, &last) ? statement(first, last) : QString();
    if (!sql.isEmpty())
        setLastSql(sql);
    if (sql.isEmpty() ||
        !pristup().OtvoriRecordset(m_host->connectionString, sql, m_chartRs, true, false)) {
        busy.restore();
        showFailure(failure);
        return false;
    }
    if (shaping.rows)
        shaping.rows(m_chartRs);
    handToChart(title, shaping, busy);
    return true;
}

bool ChartWindow::monthRange(qint16 *first, qint16 *last) const
{
    auto isMonth = [](const QString &box) {
        const double m = std::nearbyint(VbText::val(box)); // halves to the even month, as read
        return m >= 0 && m <= 12;
    };
    *first = VbText::toInt16(txtMj[0]->text());
    *last = VbText::toInt16(txtMj[1]->text());
    return isMonth(txtMj[0]->text()) && isMonth(txtMj[1]->text());
}

void ChartWindow::clearTree()
{
    tv->clearNodes();
    m_lastNode = nullptr;
}

bool ChartWindow::openFill(const QString &sql, Recordset &rs, const std::optional<Failure> &failure)
{
    BusyCursor busy;
    setLastSql(sql);
    if (pristup().OtvoriRecordset(m_host->connectionString, sql, rs, true, false))
        return true;
    busy.restore();
    if (failure)
        showFailure(*failure);
    return false;
}

void ChartWindow::refillTree(const std::function<void()> &addNodes)
{
    tv->setVisible(false);
    tv->setUpdatesEnabled(false);
    clearTree();
    addNodes();
    tv->setVisible(true);
    tv->setUpdatesEnabled(true);
}

void ChartWindow::fillPartners(QTreeWidgetItem *account, const QString &keyPrefix,
                               const QString &tag)
{
    Recordset rs;
    if (!openFill(SqlText::partnerFill(ImeBazePrometa, m_host->brojPoduzeca, txtkonto->text(),
                                       firstYear(), lastYear()),
                  rs, Failure{QStringLiteral("GREŠKA DISTINCT Komit"), Dialogs::NoIcon}))
        return;
    const int codeAt = rs.fieldIndex(QStringLiteral("ANALKONTO"));
    const int nameAt = rs.fieldIndex(QStringLiteral("Naziv"));
    tv->addChildren(account, rs.RecordCount(), [=](int row) {
        const QString code = rs.valueAt(row, codeAt).toString();
        return KeyedTree::Node{keyPrefix + code,
                               partnerText(rs.valueAt(row, nameAt).toString(), code), tag};
    });
}

QString ChartWindow::partnerCodeOf(const QTreeWidgetItem *partner)
{
    const QString text = partner->text(0);
    const int open = text.lastIndexOf(u'(');
    return open < 0 ? QString() : text.mid(open + 1).chopped(1);
}

QTreeWidgetItem *ChartWindow::findChild(QTreeWidgetItem *parent, const QString &wanted,
                                        const std::function<QString(const QTreeWidgetItem *)> &code,
                                        QStringList *seen) const
{
    const int n = parent ? parent->childCount() : tv->topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        QTreeWidgetItem *child = parent ? parent->child(i) : tv->topLevelItem(i);
        const QString c = code(child);
        if (!wanted.isEmpty() && c == wanted)
            return child;
        if (seen)
            *seen << c;
    }
    return nullptr;
}

QTreeWidgetItem *ChartWindow::partnerNode(QTreeWidgetItem *account, const QString &code,
                                          QStringList *seen)
{
    tv->completeChildren(); // a long partner level fills on its own otherwise
    return findChild(account, code, partnerCodeOf, seen);
}

void ChartWindow::showFailure(const Failure &failure)
{
    dialogs().message(this,
                      failure.withCause
                          ? failure.text + QStringLiteral("\r\n") + pristup().OpisGreske()
                          : failure.text,
                      failure.icon, Dialogs::Ok, failure.title);
}
