#pragma once

#include "platform/services.h"

#include <memory>

#include <QPointer>
#include <QString>

/// Identifiers hosts bind to.
namespace TypeLibrary {
inline constexpr const char *Name = "TarnFinGrafPromet11";
inline constexpr const char *HelpString = "Tarnel Grafički prikaz promjena u Fin.knjig. 11";
inline constexpr const char *LibraryId = "{31DFC13F-9C55-4D4D-802C-B7F069154145}";
inline constexpr const char *ClassId = "{A99D7552-D016-45C8-A785-D16A759AF1DA}";
inline constexpr const char *InterfaceId = "{8DEB0DCF-BBC2-498B-80CE-56D4B54DC7D1}";
inline constexpr const char *ProgId = "TarnFinGrafPromet11.cFinGrafPromet";
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 1;
} // namespace TypeLibrary

/// The component's public class: each method writes the host context, reads the firm's name and
/// opens a new chart window. A method that cannot open its window returns false with the reason
/// in lastError() (the host's automation error).
class cFinGrafPromet
{
public:
    explicit cFinGrafPromet(Services services = Services::desktop());

    QString VrstaPrograma;

    bool PrikažiGrafPromet(const QString &cConnString, QString &cNivoPrograma, qint16 cBrojPoduzeca,
                           qint16 cGodina, int cVrstaPrikaza, const QString &cVrstaPrograma,
                           const QString &cImeBazePrometa, QString &ImeOperatera);
    bool PrikažiGrafPrometKumulativ(const QString &cConnString, QString &cNivoPrograma,
                                    qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                    const QString &cVrstaPrograma, const QString &cImeBazePrometa,
                                    QString &ImeOperatera);
    bool PrikažiPrihodeRashode(const QString &cConnString, QString &cNivoPrograma,
                               qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                               const QString &cVrstaPrograma, const QString &cImeBazePrometa,
                               QString &ImeOperatera);
    bool PrikažiPlanIRealizaciju(const QString &cConnString, QString &cNivoPrograma,
                                 qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                 const QString &cVrstaPrograma, const QString &cImeBazePrometa,
                                 QString &ImeOperatera, qint16 &BrojPlana);
    bool PrikažiPlanIRealizacijuBudž(const QString &cConnString, QString &cNivoPrograma,
                                     qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                     const QString &cVrstaPrograma, const QString &cImeBazePrometa,
                                     QString &ImeOperatera, qint16 &BrojPlana);

    /// Any of the five by its method number (WindowKind::method); the plan number is read only by
    /// the plan windows.
    bool PrikažiProzor(int method, const QString &cConnString, QString &cNivoPrograma,
                       qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                       const QString &cVrstaPrograma, const QString &cImeBazePrometa,
                       QString &ImeOperatera, qint16 &BrojPlana);

    QString lastError() const { return m_error; }
    /// A turnover table name goes into every statement as it stands: only a plain identifier
    /// (letters, digits, _, not starting with a digit) is taken.
    static bool isPlainTableName(const QString &name);
    /// The host context of the loaded component, shared by every window it opened.
    static std::shared_ptr<struct HostContext> hostContext();
    /// The window the last call opened (null after a modal call, whose window is gone).
    class ChartWindow *lastWindow() const;

private:
    void writeContext(const QString &conn, qint16 firm, qint16 year, const QString &kind,
                      const QString &operatorName);
    void readFirmName();

    Services m_services;
    QString m_error;
    QPointer<class ChartWindow> m_lastWindow;
};
