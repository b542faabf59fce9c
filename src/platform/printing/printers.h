#pragma once

#include <QString>

#include <memory>

class QPrinter;

/// Where printing goes: the default printer on the desktop, a PDF file in tests and without a
/// screen.
class Printers
{
public:
    virtual ~Printers() = default;
    /// The default printer, ready to print on; null with *error when there is none.
    virtual std::unique_ptr<QPrinter> defaultPrinter(QString *error) = 0;
};

/// The system's default printer (CUPS).
class DesktopPrinters : public Printers
{
public:
    std::unique_ptr<QPrinter> defaultPrinter(QString *error) override;
};

/// A printer that writes each print job to the same PDF file.
class PdfPrinters : public Printers
{
public:
    explicit PdfPrinters(QString path) : m_path(std::move(path)) {}
    std::unique_ptr<QPrinter> defaultPrinter(QString *error) override;
    QString path() const { return m_path; }

private:
    QString m_path;
};
