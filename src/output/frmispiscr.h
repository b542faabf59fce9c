#pragma once

#include "platform/services.h"

#include <QWidget>

#include <memory>

class QPushButton;
class Recordset;
class Report;
class ReportViewer;

/// The report preview window: four buttons over the viewer. Modeless, owned by the chart window
/// that asked for the report; closing it releases the report.
class frmIspisCR : public QWidget
{
    Q_OBJECT
public:
    explicit frmIspisCR(const Services &services, QWidget *owner = nullptr);
    ~frmIspisCR() override;

    /// The report to show; set before the window loads.
    std::unique_ptr<::Report> Report;

    /// Sets the caption; the first touch of the window loads it.
    void setCaption(const QString &caption);
    /// Hands the report to the viewer (once).
    void load();
    bool isLoaded() const { return m_loaded; }

    QPushButton *cmdIzlaz;
    QPushButton *cmdPostaviPrinter;
    QPushButton *cmdUExcelPomoćni;
    QPushButton *cmdExcel;
    ReportViewer *CRVRadnici;

    void cmdPostaviPrinter_Click();
    /// Both export buttons: the report's rows to the spreadsheet (or the CSV file), header first.
    void cmdExcel_Click();

    /// The steps a chart window runs to show a report: a new preview with the report, the
    /// caption, the text fields (the title and the firm's name), the viewer switches, the rows,
    /// then shown modeless.
    static frmIspisCR *prikaži(const Services &services, QWidget *owner,
                               std::unique_ptr<::Report> report, const QString &caption,
                               const QString &title, const QString &firmName,
                               const Recordset &rows);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Services m_services;
    bool m_loaded = false;
};
