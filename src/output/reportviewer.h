#pragma once

#include "output/tablepages.h"
#include "platform/services.h"

#include <QPageLayout>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QScrollArea;
class QTreeWidget;
class Report;
class ReportPage;

/// The report preview: the pages as they print, one at a time, with page turning, printing, PDF
/// export, zoom, a tree of the report's groups (its row labels) and a search field. Only the page
/// shown is laid out, so a report of any length opens at once. The Enable… switches show or hide
/// the group tree, the search field and the two expert buttons.
class ReportViewer : public QWidget
{
    Q_OBJECT
public:
    explicit ReportViewer(const Services &services, QWidget *parent = nullptr);
    ~ReportViewer() override;

    void setReportSource(Report *report);
    Report *reportSource() const { return m_report; }
    void EnableGroupTree(bool on);
    void EnableSearchControl(bool on);
    void EnableSearchExpertButton(bool on);
    void EnableSelectExpertButton(bool on);
    /// Lays the report out and shows its pages.
    void ViewReport();
    /// 1 fits the page width, 2 the whole page; any other number is a zoom in per cent.
    void Zoom(int mode);

    /// Prints on the report's printer, made from the default printer on first use.
    bool PrintReport(QString *error);
    bool ExportPdf(const QString &path, QString *error);
    /// Marks every occurrence of text in the pages; the number of occurrences.
    int search(const QString &text, bool caseSensitive = false);
    /// Keeps the rows that pass an ADO-style filter (empty for all); false when unreadable.
    bool selectRows(const QString &criteria, QString *error);

    /// The report's pages as the preview shows them (rows selected); null before ViewReport().
    const TablePages *pages() const { return m_pages.get(); }
    int pageCount() const;
    int currentPage() const { return m_page; }
    void showPage(int page);
    /// The page the preview lays out on: A4 landscape.
    static QPageLayout previewLayout();
    QTreeWidget *groupTree() const { return m_groups; }
    QLineEdit *searchField() const { return m_search; }
    QPushButton *searchExpertButton() const { return m_searchExpert; }
    QPushButton *selectExpertButton() const { return m_selectExpert; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class Painted { All, Refused, Stopped };
    /// Every page of the report onto the printer, with progress, unless the printer refuses a
    /// page or the user stops it.
    Painted paint(QPrinter *printer);
    void tellFailure(const QString &error);
    void fillGroups();
    void printerForReport(QString *error);
    void setZoom(int mode, qreal factor = 1);

    Services m_services;
    Report *m_report = nullptr;
    QString m_filter;
    ReportTable m_table;
    std::unique_ptr<TablePages> m_pages;
    int m_page = 0;
    bool m_stopped = false; ///< the last printing was stopped by the user
    int m_zoomMode = 1;
    ReportPage *m_view;
    QScrollArea *m_scroll;
    QLabel *m_pageLabel;
    QTreeWidget *m_groups;
    QLineEdit *m_search;
    QPushButton *m_searchButton;
    QPushButton *m_searchExpert;
    QPushButton *m_selectExpert;
};
