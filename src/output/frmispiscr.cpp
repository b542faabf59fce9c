#include "frmispiscr.h"

#include "output/moduexcel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/dialogs/busycursor.h"

#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>

namespace {

int px(const QWidget *w, int twips)
{
    return qRound(twips * w->logicalDpiX() / 1440.0);
}

} // namespace

frmIspisCR::frmIspisCR(const Services &services, QWidget *owner)
    : QWidget(owner, Qt::Window), m_services(services)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Izvještaj"));
    auto button = [this](const QString &text, int left, int width) {
        auto *b = new QPushButton(text, this);
        b->setGeometry(px(this, left), 0, px(this, width), px(this, 375));
        return b;
    };
    cmdIzlaz = button(QStringLiteral("Izlaz"), 0, 1215);
    cmdPostaviPrinter = button(QStringLiteral("Postavka printera"), 1320, 2175);
    cmdUExcelPomoćni = button(QStringLiteral("Export u MS Excel"), 3720, 2175);
    cmdExcel = button(QStringLiteral("Export u MS Excel"), 6000, 2175);
    CRVRadnici = new ReportViewer(services, this);
    connect(cmdIzlaz, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdPostaviPrinter, &QPushButton::clicked, this, &frmIspisCR::cmdPostaviPrinter_Click);
    connect(cmdUExcelPomoćni, &QPushButton::clicked, this, &frmIspisCR::cmdExcel_Click);
    connect(cmdExcel, &QPushButton::clicked, this, &frmIspisCR::cmdExcel_Click);
    resize(px(this, 11000), px(this, 8000));
}

frmIspisCR::~frmIspisCR() = default;

void frmIspisCR::setCaption(const QString &caption)
{
    load();
    setWindowTitle(caption);
}

void frmIspisCR::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    BusyCursor busy;
    CRVRadnici->setReportSource(Report.get());
    busy.restore();
    CRVRadnici->Zoom(1);
}

void frmIspisCR::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    const int top = cmdIzlaz->height() + 10;
    CRVRadnici->setGeometry(0, top, width(), std::max(0, height() - top));
    cmdIzlaz->move(0, 0);
}

void frmIspisCR::cmdPostaviPrinter_Click()
{
    if (!Report)
        return;
    if (!Report->printer() && m_services.printers) {
        QString error;
        Report->setPrinter(m_services.printers->defaultPrinter(&error));
        if (!Report->printer()) {
            m_services.dialogs->message(this, QStringLiteral("Desila se greška: ") + error);
            return;
        }
    }
    if (Report->printer())
        m_services.dialogs->printerSetup(nullptr, Report->printer());
}

void frmIspisCR::cmdExcel_Click()
{
    // The report's own rows: a preview without them has nothing to export.
    if (!Report || !Report->database().rows().isOpen())
        return;
    Recordset rows = Report->database().rows();
    bool bezZaglavlja = false;
    modUExcel::PrebaciRecordsetUExcel(m_services, rows, bezZaglavlja, this);
}

frmIspisCR *frmIspisCR::prikaži(const Services &services, QWidget *owner,
                                std::unique_ptr<::Report> report, const QString &caption,
                                const QString &title, const QString &firmName,
                                const Recordset &rows)
{
    auto *preview = new frmIspisCR(services, owner);
    preview->Report = std::move(report);
    preview->setCaption(caption);
    if (auto *f = preview->Report->textField(QStringLiteral("Naslov")))
        f->SetText(title);
    preview->CRVRadnici->EnableGroupTree(true);
    preview->CRVRadnici->EnableSearchControl(true);
    preview->CRVRadnici->EnableSearchExpertButton(true);
    preview->CRVRadnici->EnableSelectExpertButton(true);
    if (auto *f = preview->Report->textField(QStringLiteral("NazivFirme")))
        f->SetText(firmName);
    if (auto *f = preview->Report->textField(QStringLiteral("Filter")))
        f->SetText(QString());
    preview->Report->database().SetDataSource(rows, 3);
    preview->CRVRadnici->ViewReport();
    if (owner)
        owner->unsetCursor();
    preview->show();
    return preview;
}
