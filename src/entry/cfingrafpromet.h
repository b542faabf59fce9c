#pragma once

#include "fingraf_export.h"

#include <memory>

#include <QString>

struct Services;

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
    /// Answers the host's questions with the desktop's dialogs and keeps settings per user.
    FINGRAF_EXPORT cFinGrafPromet();
    /// Inside the component (launcher, tests): dialogs, settings, workbooks and printers of the
    /// caller's choosing.
    explicit cFinGrafPromet(const Services &services);
    FINGRAF_EXPORT ~cFinGrafPromet();
    cFinGrafPromet(const cFinGrafPromet &) = delete;
    cFinGrafPromet &operator=(const cFinGrafPromet &) = delete;

    QString VrstaPrograma;

    FINGRAF_EXPORT bool PrikažiGrafPromet(const QString &cConnString, QString &cNivoPrograma,
                                          qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                          const QString &cVrstaPrograma,
                                          const QString &cImeBazePrometa, QString &ImeOperatera);
    FINGRAF_EXPORT bool PrikažiGrafPrometKumulativ(const QString &cConnString,
                                                   QString &cNivoPrograma, qint16 cBrojPoduzeca,
                                                   qint16 cGodina, int cVrstaPrikaza,
                                                   const QString &cVrstaPrograma,
                                                   const QString &cImeBazePrometa,
                                                   QString &ImeOperatera);
    FINGRAF_EXPORT bool PrikažiPrihodeRashode(const QString &cConnString, QString &cNivoPrograma,
                                              qint16 cBrojPoduzeca, qint16 cGodina,
                                              int cVrstaPrikaza, const QString &cVrstaPrograma,
                                              const QString &cImeBazePrometa,
                                              QString &ImeOperatera);
    FINGRAF_EXPORT bool PrikažiPlanIRealizaciju(const QString &cConnString, QString &cNivoPrograma,
                                                qint16 cBrojPoduzeca, qint16 cGodina,
                                                int cVrstaPrikaza, const QString &cVrstaPrograma,
                                                const QString &cImeBazePrometa,
                                                QString &ImeOperatera, qint16 &BrojPlana);
    FINGRAF_EXPORT bool PrikažiPlanIRealizacijuBudž(const QString &cConnString,
                                                    QString &cNivoPrograma, qint16 cBrojPoduzeca,
                                                    qint16 cGodina, int cVrstaPrikaza,
                                                    const QString &cVrstaPrograma,
                                                    const QString &cImeBazePrometa,
                                                    QString &ImeOperatera, qint16 &BrojPlana);

    /// Any of the five by its method number (WindowKind::method); the plan number is read only by
    /// the plan windows.
    FINGRAF_EXPORT bool PrikažiProzor(int method, const QString &cConnString,
                                      QString &cNivoPrograma, qint16 cBrojPoduzeca, qint16 cGodina,
                                      int cVrstaPrikaza, const QString &cVrstaPrograma,
                                      const QString &cImeBazePrometa, QString &ImeOperatera,
                                      qint16 &BrojPlana);

    FINGRAF_EXPORT QString lastError() const;
    /// A turnover table name goes into every statement as it stands: only a plain identifier
    /// (letters, digits, _, not starting with a digit) is taken.
    FINGRAF_EXPORT static bool isPlainTableName(const QString &name);
    /// The host context of the loaded component, shared by every window it opened.
    static std::shared_ptr<struct HostContext> hostContext();
    /// The window the last call opened (null after a modal call, whose window is gone).
    class ChartWindow *lastWindow() const;

private:
    void writeContext(const QString &conn, qint16 firm, qint16 year, const QString &kind,
                      const QString &operatorName);
    void readFirmName();

    struct Private;
    std::unique_ptr<Private> d;
};
