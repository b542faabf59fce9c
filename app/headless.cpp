#include "headless.h"

#include "chartwin/chartwindow.h"
#include "chartwin/hostcontext.h"
#include "entry/cfingrafpromet.h"
#include "output/frmispiscr.h"
#include "output/moduexcel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/files/atomicfile.h"
#include "platform/services.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTextStream>

#include <cmath>

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// Prints what the window said and fails.
int failWith(const ScriptedDialogs &dialogs)
{
    for (const auto &m : dialogs.messages)
        err() << m.text << Qt::endl;
    return 1;
}

// The window as it looks. A 3D chart is drawn by OpenGL in a window of its own, which grabbing
// the widgets does not see, so its picture is laid over the place it takes.
QImage windowPicture(ChartWindow *w)
{
    QApplication::processEvents();
    QImage image = w->grab().toImage();
    if (w->MSChart1->drawnIn3D() && w->MSChart1->isVisible()) {
        QPainter painter(&image);
        painter.drawImage(w->MSChart1->mapTo(w, QPoint(0, 0)),
                          w->MSChart1->picture(w->MSChart1->size()));
    }
    return image;
}

} // namespace

const QStringList &headlessOutputs()
{
    static const QStringList outputs = {QStringLiteral("png"),        QStringLiteral("svg"),
                                        QStringLiteral("pdf"),        QStringLiteral("csv"),
                                        QStringLiteral("screenshot"), QStringLiteral("xlsx"),
                                        QStringLiteral("ispis"),      QStringLiteral("izvjestaj")};
    return outputs;
}

bool wantsHeadlessRun(const QCommandLineParser &p)
{
    for (const QString &o : headlessOutputs())
        if (p.isSet(o))
            return true;
    return false;
}

int runHeadless(ChartWindow *w, const QCommandLineParser &p, const QStringList &pathOptions,
                ScriptedDialogs &scripted, const Services &services,
                const std::function<int(ChartWindow *)> &more)
{
    auto set = [&](const char *option, QLineEdit *box) {
        if (box && p.isSet(QString::fromLatin1(option)))
            box->setText(p.value(QString::fromLatin1(option)));
    };
    set("od", w->txtGodina[0]);
    set("do", w->txtGodina[1]);
    set("mj-od", w->txtMj[0]);
    set("mj-do", w->txtMj[1]);
    if (p.isSet(QStringLiteral("iznos"))) {
        const int i = p.value(QStringLiteral("iznos")).toInt();
        if (i < 0 || i >= w->optVrijednost.size()) {
            err() << "Nepoznata vrsta iznosa: " << i << Qt::endl;
            return 2;
        }
        w->optVrijednost[i]->setChecked(true);
    }
    if (p.isSet(QStringLiteral("tip")))
        w->cmbType->setCurrentIndex(p.value(QStringLiteral("tip")).toInt());
    if (p.isSet(QStringLiteral("skala")))
        w->cmbScale->setCurrentIndex(p.value(QStringLiteral("skala")).toInt());
    // what the window said before the chosen node was drawn does not fail the run, but it is the
    // cause when the node cannot be found (a book that could not be read, say)
    const QVector<ScriptedDialogs::Shown> before = scripted.messages;
    scripted.messages.clear();
    QStringList path;
    for (const QString &o : pathOptions)
        path << p.value(o);
    const bool found = p.isSet(QStringLiteral("node"))
                           ? w->clickKey(p.value(QStringLiteral("node")))
                           : w->clickPath(path);
    if (!found) {
        scripted.messages = before + scripted.messages;
        failWith(scripted);
        err() << "U stablu nema traženog čvora." << Qt::endl;
        return 1;
    }
    const bool chartAsked = wantsHeadlessRun(p);
    if (!scripted.messages.isEmpty() || (chartAsked && !w->chartRecordset().isOpen())) {
        // nothing drawn: what the window said while loading is the cause (an unreadable book)
        const HostContext &host = *cFinGrafPromet::hostContext();
        if (host.pristup && !host.pristup->OpisGreske().isEmpty())
            err() << "Desila se greška: " << host.pristup->OpisGreske() << Qt::endl;
        scripted.messages = before + scripted.messages;
        failWith(scripted);
        if (chartAsked && !w->chartRecordset().isOpen())
            err() << "Grafikon nije nacrtan." << Qt::endl;
        return 1;
    }
    // an amount the chart cannot draw (beyond the range of numbers, or no number) is no chart
    Recordset rows = w->chartRecordset();
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext())
        for (int f = 1; f < rows.fieldCount(); ++f) {
            const QVariant v = rows.value(f);
            if (!v.isNull() && !std::isfinite(v.toDouble())) {
                err() << "Desila se greška: iznos u stupcu " << rows.fieldName(f) << " retka "
                      << rows.value(0).toString()
                      << " je izvan raspona brojeva koji se mogu prikazati." << Qt::endl;
                return 1;
            }
        }
    if (p.isSet(QStringLiteral("grid")))
        w->mnuPregledPodataka_Click();
    if (p.isSet(QStringLiteral("patern")))
        w->mnuPatern_Click();
    if (!scripted.messages.isEmpty())
        return failWith(scripted);
    const QSize size(1000, 600);
    QString error;
    for (const char *fmt : {"png", "svg", "pdf"})
        if (p.isSet(QString::fromLatin1(fmt)) &&
            !w->MSChart1->save(p.value(QString::fromLatin1(fmt)), size, &error)) {
            err() << "Desila se greška: " << error << Qt::endl;
            return 1;
        }
    if (p.isSet(QStringLiteral("csv"))) {
        QString file = p.value(QStringLiteral("csv"));
        bool quotes = true;
        if (!modUExcel::PrebaciUCSV(scripted, w->chartRecordset(), file, quotes, w))
            return failWith(scripted);
    }
    if (p.isSet(QStringLiteral("xlsx"))) {
        scripted.messages.clear();
        w->PrebaciUExcel(w->chartRecordset());
        if (!scripted.messages.isEmpty())
            return failWith(scripted);
    }
    if (p.isSet(QStringLiteral("ispis"))) {
        scripted.answers.push_back(Dialogs::AnswerYes);
        scripted.messages.clear();
        w->mnuIspis_Click();
        if (scripted.messages.size() > 1)
            return failWith(scripted);
    }
    if (p.isSet(QStringLiteral("izvjestaj"))) {
        frmIspisCR *preview =
            frmIspisCR::prikaži(services, w, std::make_unique<CRFinPoMjes>(),
                                QStringLiteral("Izvještaj"), w->MSChart1->titleText(),
                                cFinGrafPromet::hostContext()->nazivFirme, w->chartRecordset());
        if (!preview->CRVRadnici->ExportPdf(p.value(QStringLiteral("izvjestaj")), &error)) {
            err() << "Desila se greška: " << error << Qt::endl;
            return 1;
        }
        if (p.isSet(QStringLiteral("screenshot"))) {
            preview->resize(1100, 700);
            QApplication::processEvents();
            if (!AtomicFile::saveImage(preview->grab().toImage(),
                                       p.value(QStringLiteral("screenshot")), &error)) {
                err() << "Desila se greška: " << error << Qt::endl;
                return 1;
            }
            w->close();
            return 0;
        }
    }
    if (more) {
        scripted.messages.clear();
        if (const int code = more(w)) {
            w->close();
            return code;
        }
    }
    if (p.isSet(QStringLiteral("screenshot")) &&
        !AtomicFile::saveImage(windowPicture(w), p.value(QStringLiteral("screenshot")), &error)) {
        err() << "Desila se greška: " << error << Qt::endl;
        return 1;
    }
    w->close();
    return 0;
}
