#pragma once

#include "platform/services.h"

#include <QWidget>

class QLineEdit;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QTextDocument;
class QTreeWidget;
class Report;

/// The report preview: the pages as they print, with printing, PDF export, zoom, a tree of the
/// report's groups (its row labels) and a search field. The Enable… switches show or hide the
/// group tree, the search field and the two expert buttons.
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

    /// The report's pages as a document, as shown (rows selected, matches marked).
    void composeInto(QTextDocument &doc) const;
    int pageCount() const;
    QTreeWidget *groupTree() const { return m_groups; }
    QLineEdit *searchField() const { return m_search; }
    QPushButton *searchExpertButton() const { return m_searchExpert; }
    QPushButton *selectExpertButton() const { return m_selectExpert; }

private:
    void paint(QPrinter *printer);
    void fillGroups();
    void printerForReport(QString *error);

    Services m_services;
    Report *m_report = nullptr;
    QString m_filter;
    QString m_marked;
    bool m_markedCase = false;
    std::unique_ptr<QPrinter> m_previewPrinter;
    QPrintPreviewWidget *m_preview;
    QTreeWidget *m_groups;
    QLineEdit *m_search;
    QPushButton *m_searchButton;
    QPushButton *m_searchExpert;
    QPushButton *m_selectExpert;
};
