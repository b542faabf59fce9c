#include "reportviewer.h"

#include "output/report.h"
#include "platform/dialogs/busycursor.h"
#include "platform/printing/printers.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ReportViewer::ReportViewer(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_previewPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_previewPrinter->setPageOrientation(QPageLayout::Landscape);
    m_previewPrinter->setOutputFormat(QPrinter::PdfFormat);

    auto *tools = new QHBoxLayout;
    auto button = [&](const QString &text, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setToolTip(tip);
        tools->addWidget(b);
        return b;
    };
    QPushButton *print = button(QStringLiteral("Ispis"), QStringLiteral("Ispis izvještaja"));
    QPushButton *pdf = button(QStringLiteral("PDF"), QStringLiteral("Izvoz izvještaja u PDF"));
    QPushButton *zoomOut = button(QStringLiteral("−"), QStringLiteral("Smanji"));
    QPushButton *zoomIn = button(QStringLiteral("+"), QStringLiteral("Povećaj"));
    QPushButton *width = button(QStringLiteral("Širina stranice"), QString());
    QPushButton *whole = button(QStringLiteral("Cijela stranica"), QString());
    tools->addStretch();
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Traži tekst"));
    m_search->setClearButtonEnabled(true);
    tools->addWidget(m_search);
    m_searchButton = button(QStringLiteral("Traži"), QStringLiteral("Označi tekst u izvještaju"));
    m_searchExpert =
        button(QStringLiteral("Napredno traženje"), QStringLiteral("Traženje s velikim i malim "
                                                                   "slovima"));
    m_selectExpert = button(QStringLiteral("Odabir zapisa"),
                            QStringLiteral("Uvjet za retke izvještaja, npr. Godina LIKE 'DUG*'"));

    m_groups = new QTreeWidget(this);
    m_groups->setHeaderHidden(true);
    m_preview = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    auto *split = new QSplitter(this);
    split->addWidget(m_groups);
    split->addWidget(m_preview);
    split->setStretchFactor(1, 4);
    split->setSizes({160, 800});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tools);
    layout->addWidget(split);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportViewer::paint);
    connect(zoomIn, &QPushButton::clicked, m_preview, [this] { m_preview->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, m_preview, [this] { m_preview->zoomOut(); });
    connect(width, &QPushButton::clicked, this, [this] { Zoom(1); });
    connect(whole, &QPushButton::clicked, this, [this] { Zoom(2); });
    connect(print, &QPushButton::clicked, this, [this] {
        QString error;
        if (!PrintReport(&error))
            m_services.dialogs->message(this, QStringLiteral("Desila se greška: ") + error);
    });
    connect(pdf, &QPushButton::clicked, this, [this] {
        QString path;
        if (!m_services.dialogs->input(this, QStringLiteral("Naziv PDF datoteke:"),
                                       QStringLiteral("Izvoz u PDF"),
                                       QStringLiteral("Izvjestaj.pdf"), &path) ||
            path.trimmed().isEmpty())
            return;
        QString error;
        if (!ExportPdf(path.trimmed(), &error))
            m_services.dialogs->message(this, QStringLiteral("Desila se greška: ") + error);
    });
    auto find = [this](bool caseSensitive, const QString &text) {
        if (!text.isEmpty() && search(text, caseSensitive) == 0)
            m_services.dialogs->message(
                this, QStringLiteral("Tekst \"%1\" nije pronađen u izvještaju.").arg(text));
    };
    connect(m_searchButton, &QPushButton::clicked, this,
            [this, find] { find(false, m_search->text()); });
    connect(m_search, &QLineEdit::returnPressed, this,
            [this, find] { find(false, m_search->text()); });
    connect(m_searchExpert, &QPushButton::clicked, this, [this, find] {
        QString text;
        if (m_services.dialogs->input(this,
                                      QStringLiteral("Tekst koji se traži (velika i mala slova "
                                                     "se razlikuju):"),
                                      QStringLiteral("Napredno traženje"), m_search->text(), &text))
            find(true, text);
    });
    connect(m_selectExpert, &QPushButton::clicked, this, [this] {
        QString criteria;
        if (!m_services.dialogs->input(this,
                                       QStringLiteral("Uvjet za retke (prazno za sve retke):"),
                                       QStringLiteral("Odabir zapisa"), m_filter, &criteria))
            return;
        QString error;
        if (!selectRows(criteria, &error))
            m_services.dialogs->message(this, QStringLiteral("Desila se greška: ") + error);
    });
    connect(m_groups, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { search(item->text(0), true); });
}

ReportViewer::~ReportViewer() = default;

void ReportViewer::setReportSource(Report *report)
{
    m_report = report;
    m_filter.clear();
    m_marked.clear();
}

void ReportViewer::EnableGroupTree(bool on)
{
    m_groups->setVisible(on);
}
void ReportViewer::EnableSearchControl(bool on)
{
    m_search->setVisible(on);
    m_searchButton->setVisible(on);
}
void ReportViewer::EnableSearchExpertButton(bool on)
{
    m_searchExpert->setVisible(on);
}
void ReportViewer::EnableSelectExpertButton(bool on)
{
    m_selectExpert->setVisible(on);
}

void ReportViewer::ViewReport()
{
    BusyCursor busy;
    fillGroups();
    m_preview->updatePreview();
}

void ReportViewer::Zoom(int mode)
{
    if (mode == 1) {
        m_preview->fitToWidth();
    } else if (mode == 2) {
        m_preview->fitInView();
    } else if (mode > 0) {
        m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_preview->setZoomFactor(mode / 100.0);
    }
}

void ReportViewer::composeInto(QTextDocument &doc) const
{
    if (!m_report)
        return;
    Recordset rows = m_report->database().rows();
    if (!m_filter.isEmpty())
        rows.setFilter(m_filter);
    m_report->compose(doc, rows);
    if (m_marked.isEmpty())
        return;
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 230, 0));
    const auto flags =
        m_markedCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    for (QTextCursor c = doc.find(m_marked, 0, flags); !c.isNull();
         c = doc.find(m_marked, c, flags))
        c.mergeCharFormat(mark);
}

void ReportViewer::paint(QPrinter *printer)
{
    QTextDocument doc;
    composeInto(doc);
    doc.print(printer);
}

int ReportViewer::pageCount() const
{
    return m_preview->pageCount();
}

void ReportViewer::fillGroups()
{
    m_groups->clear();
    if (!m_report)
        return;
    Recordset rows = m_report->database().rows();
    if (!m_filter.isEmpty())
        rows.setFilter(m_filter);
    auto *top = new QTreeWidgetItem(m_groups, {m_report->documentName()});
    for (const QString &label : m_report->groups(rows))
        new QTreeWidgetItem(top, {label});
    top->setExpanded(true);
}

int ReportViewer::search(const QString &text, bool caseSensitive)
{
    m_marked = text;
    m_markedCase = caseSensitive;
    QTextDocument doc;
    composeInto(doc);
    int found = 0;
    const auto flags =
        caseSensitive ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    if (!text.isEmpty())
        for (QTextCursor c = doc.find(text, 0, flags); !c.isNull(); c = doc.find(text, c, flags))
            ++found;
    m_preview->updatePreview();
    return found;
}

bool ReportViewer::selectRows(const QString &criteria, QString *error)
{
    if (!m_report)
        return false;
    Recordset probe = m_report->database().rows();
    if (!criteria.trimmed().isEmpty() && !probe.setFilter(criteria)) {
        *error = probe.filterError();
        return false;
    }
    m_filter = criteria.trimmed();
    ViewReport();
    return true;
}

void ReportViewer::printerForReport(QString *error)
{
    if (m_report && !m_report->printer() && m_services.printers)
        m_report->setPrinter(m_services.printers->defaultPrinter(error));
}

bool ReportViewer::PrintReport(QString *error)
{
    printerForReport(error);
    if (!m_report || !m_report->printer()) {
        if (error->isEmpty())
            *error = QStringLiteral("Nije postavljen zadani pisač (printer).");
        return false;
    }
    paint(m_report->printer());
    // A printer that writes a file puts it in place now, so that a failure is told here; after
    // a failure it writes nothing more, and the next job gets a new one.
    auto *file = dynamic_cast<PdfFilePrinter *>(m_report->printer());
    if (file && !file->hasJob()) {
        *error = QStringLiteral("Ispis u datoteku \"%1\" nije moguć: %2")
                     .arg(file->path(), file->whyNoJob());
        return false;
    }
    if (file && !file->finishJob(error)) {
        m_report->setPrinter(nullptr);
        return false;
    }
    return true;
}

bool ReportViewer::ExportPdf(const QString &path, QString *error)
{
    PdfFilePrinter pdf(path);
    pdf.setPageOrientation(QPageLayout::Landscape);
    if (m_report)
        pdf.setDocName(m_report->documentName());
    paint(&pdf);
    if (!pdf.hasJob()) {
        *error =
            QStringLiteral("Datoteka \"%1\" se ne može zapisati: %2").arg(path, pdf.whyNoJob());
        return false;
    }
    return pdf.finishJob(error);
}
