#include "reportviewer.h"

#include "output/report.h"
#include "platform/dialogs/busycursor.h"
#include "platform/printing/printers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

// One page of the preview on screen: paper, margins and the page's table at the viewer's scale.
class ReportPage : public QWidget
{
public:
    explicit ReportPage(QWidget *parent) : QWidget(parent) {}

    const TablePages *pages = nullptr;
    int page = 0;
    QString marked;
    Qt::CaseSensitivity markedCase = Qt::CaseInsensitive;
    qreal pixelsPerPoint = 1;

    void fit()
    {
        const QSizeF paper = ReportViewer::previewLayout().fullRect(QPageLayout::Point).size();
        resize((paper * pixelsPerPoint).toSize());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (!pages)
            return;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QPointF margin =
            ReportViewer::previewLayout().paintRect(QPageLayout::Point).topLeft() * pixelsPerPoint;
        painter.translate(margin);
        const qreal scale = pixelsPerPoint * 72 / TablePages::kUnitsPerInch;
        painter.scale(scale, scale);
        pages->paintPage(painter, page, marked, markedCase);
    }
};

ReportViewer::ReportViewer(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services)
{
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
    QPushButton *previous = button(QStringLiteral("◀"), QStringLiteral("Prethodna strana"));
    m_pageLabel = new QLabel(this);
    tools->addWidget(m_pageLabel);
    QPushButton *next = button(QStringLiteral("▶"), QStringLiteral("Sljedeća strana"));
    // the one-sign buttons as narrow as their sign, so that the search keeps its room
    for (QPushButton *narrow : {zoomOut, zoomIn, previous, next})
        narrow->setFixedWidth(narrow->fontMetrics().height() * 2);
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
    m_view = new ReportPage(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto *split = new QSplitter(this);
    split->addWidget(m_groups);
    split->addWidget(m_scroll);
    split->setStretchFactor(1, 4);
    split->setSizes({160, 800});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tools);
    layout->addWidget(split);

    connect(zoomIn, &QPushButton::clicked, this,
            [this] { setZoom(0, m_view->pixelsPerPoint * 1.25); });
    connect(zoomOut, &QPushButton::clicked, this,
            [this] { setZoom(0, m_view->pixelsPerPoint / 1.25); });
    connect(previous, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(width, &QPushButton::clicked, this, [this] { Zoom(1); });
    connect(whole, &QPushButton::clicked, this, [this] { Zoom(2); });
    connect(print, &QPushButton::clicked, this, [this] {
        QString error;
        if (!PrintReport(&error))
            tellFailure(error);
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
            tellFailure(error);
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
    m_view->marked.clear();
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

QPageLayout ReportViewer::previewLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

void ReportViewer::ViewReport()
{
    BusyCursor busy;
    m_pages.reset();
    m_view->pages = nullptr;
    if (m_report) {
        Recordset rows = m_report->database().rows();
        if (!m_filter.isEmpty())
            rows.setFilter(m_filter);
        m_table = m_report->table(rows);
        m_pages = std::make_unique<TablePages>(
            m_table, previewLayout().paintRect(QPageLayout::Point).size());
        m_view->pages = m_pages.get();
    }
    fillGroups();
    showPage(0);
}

void ReportViewer::showPage(int page)
{
    m_page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    m_view->page = m_page;
    m_pageLabel->setText(QStringLiteral("Strana %1 od %2").arg(m_page + 1).arg(pageCount()));
    m_scroll->verticalScrollBar()->setValue(0);
    m_view->update();
}

void ReportViewer::Zoom(int mode)
{
    if (mode == 1 || mode == 2)
        setZoom(mode);
    else if (mode > 0)
        setZoom(0, mode / 100.0 * logicalDpiX() / 72);
}

void ReportViewer::setZoom(int mode, qreal factor)
{
    m_zoomMode = mode;
    const QSizeF paper = previewLayout().fullRect(QPageLayout::Point).size();
    const QSize room = m_scroll->viewport()->size() - QSize(4, 4);
    if (mode == 1)
        factor = room.width() / paper.width();
    else if (mode == 2)
        factor = std::min(room.width() / paper.width(), room.height() / paper.height());
    m_view->pixelsPerPoint = std::clamp(factor, 0.1, 20.0);
    m_view->fit();
}

void ReportViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_zoomMode != 0)
        setZoom(m_zoomMode);
}

ReportViewer::Painted ReportViewer::paint(QPrinter *printer)
{
    if (!m_report)
        return Painted::All;
    if (!m_pages)
        ViewReport();
    QPainter painter;
    if (!painter.begin(printer))
        return Painted::Refused;
    const TablePages pages(m_table, printer->pageLayout().paintRect(QPageLayout::Point).size());
    const qreal scale = printer->resolution() / TablePages::kUnitsPerInch;
    const QString what = QStringLiteral("Ispis izvještaja \"%1\"").arg(m_report->documentName());
    const int count = pages.pageCount();
    Painted painted = m_services.dialogs->progress(this, what, 0) ? Painted::All : Painted::Stopped;
    for (int p = 0; painted == Painted::All && p < count; ++p) {
        if (p > 0 && !printer->newPage()) {
            painted = Painted::Refused;
            break;
        }
        painter.save();
        painter.scale(scale, scale);
        pages.paintPage(painter, p, m_view->marked, m_view->markedCase);
        painter.restore();
        if (!m_services.dialogs->progress(this, what, int(qint64(p + 1) * 99 / count)))
            painted = Painted::Stopped;
    }
    m_stopped = painted == Painted::Stopped;
    if (m_stopped)
        printer->abort();
    painter.end();
    m_services.dialogs->progress(this, what, 100);
    return painted;
}

void ReportViewer::tellFailure(const QString &error)
{
    // work the user stopped is no error
    if (m_stopped)
        m_services.dialogs->message(this, error, Dialogs::Information);
    else
        m_services.dialogs->message(this, QStringLiteral("Desila se greška: ") + error);
}

int ReportViewer::pageCount() const
{
    return m_pages ? m_pages->pageCount() : 0;
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
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    m_view->marked = text;
    m_view->markedCase = cs;
    int found = 0;
    if (!text.isEmpty() && m_pages) {
        found += m_table.title.count(text, cs);
        for (const QString &line : std::as_const(m_table.heading))
            found += line.count(text, cs);
        for (const ReportTable::Column &c : std::as_const(m_table.columns))
            found += c.header.count(text, cs);
        int firstRow = -1;
        for (int r = 0; r < m_table.rowCount; ++r) {
            const ReportTable::Row row = m_table.row(r);
            for (const QString &cell : row.cells)
                if (const int n = cell.count(text, cs)) {
                    found += n;
                    if (firstRow < 0)
                        firstRow = r;
                }
        }
        if (firstRow >= 0)
            showPage(m_pages->pageOfRow(firstRow));
    }
    m_view->update();
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
    const Painted painted = paint(m_report->printer());
    auto *file = dynamic_cast<PdfFilePrinter *>(m_report->printer());
    if (painted == Painted::Stopped) {
        if (file)
            file->discardJob();
        *error = QStringLiteral("Ispis izvještaja je prekinut.");
        return false;
    }
    // A printer that writes a file puts it in place now, so that a failure is told here; after
    // a failure it writes nothing more, and the next job gets a new one.
    if (file && !file->hasJob()) {
        *error = QStringLiteral("Ispis u datoteku \"%1\" nije moguć: %2")
                     .arg(file->path(), file->whyNoJob());
        return false;
    }
    if (file && !file->finishJob(error)) {
        m_report->setPrinter(nullptr);
        return false;
    }
    if (painted == Painted::Refused && error->isEmpty()) {
        *error = QStringLiteral("Pisač nije prihvatio izvještaj.");
        return false;
    }
    return true;
}

bool ReportViewer::ExportPdf(const QString &path, QString *error)
{
    PdfFilePrinter pdf(path);
    pdf.setPageLayout(previewLayout());
    if (m_report)
        pdf.setDocName(m_report->documentName());
    if (paint(&pdf) == Painted::Stopped) {
        pdf.discardJob();
        *error = QStringLiteral("Izvoz u PDF je prekinut; datoteka \"%1\" je ostala kakva je bila.")
                     .arg(path);
        return false;
    }
    if (!pdf.hasJob()) {
        *error =
            QStringLiteral("Datoteka \"%1\" se ne može zapisati: %2").arg(path, pdf.whyNoJob());
        return false;
    }
    return pdf.finishJob(error);
}
