// What a write does when it works, and the checks of files written by name. A write that fails on
// a full disk is tested for every writer at once, the program's own among them, and each file
// written with room again is checked whole (tst_report).
#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"
#include "testsupport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>

#include <deque>

using namespace FullDisk;

static QByteArray pdfBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        QPainter(&pdf).fillRect(QRect(0, 0, 2000, 2000), Qt::darkBlue);
    }
    return buffer.data();
}

class TstAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void checksTellCutFilesFromWholeOnes_data();
    void checksTellCutFilesFromWholeOnes();
    void writesReplaceTheTargetOnlyWhenWhole();
};

void TstAtomicFile::checksTellCutFilesFromWholeOnes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("cut"); // bytes taken off the end; -1 all; none: whole
    for (const char *kind : {"pdf", "zip", "sqlite"}) {
        QTest::addRow("%s whole", kind) << kind << 0;
        QTest::addRow("%s without its last 8 bytes", kind) << kind << 8;
    }
    QTest::addRow("empty pdf") << "pdf" << -1;
}

void TstAtomicFile::checksTellCutFilesFromWholeOnes()
{
    QFETCH(QString, kind);
    QFETCH(int, cut);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file"));
    QByteArray bytes = readAll(TestSupport::demoBook());
    StagedFile::Check check = StagedFile::completeSqlite;
    if (kind == u"pdf") {
        bytes = pdfBytes();
        check = StagedFile::completePdf;
    } else if (kind == u"zip") {
        // A zip made by an independent writer: Python's own (8: deflated).
        const QString zip =
            QStringLiteral("import sys,zipfile; z=zipfile.ZipFile(sys.argv[1],'w',8); "
                           "z.writestr('xl/a.xml','x'*5000); z.writestr('b.xml','y'); z.close()");
        if (QProcess::execute(QStringLiteral("/usr/bin/python3"),
                              {QStringLiteral("-c"), zip, path}) != 0)
            QSKIP("python3 is needed to make a zip archive");
        bytes = readAll(path);
        check = StagedFile::completeZip;
    }
    bytes.chop(cut == -1 ? bytes.size() : cut);
    QVERIFY(writeAll(path, bytes));
    QString why;
    QCOMPARE(check(path, &why), cut == 0);
    QCOMPARE(why.isEmpty(), cut == 0);
}

void TstAtomicFile::writesReplaceTheTargetOnlyWhenWhole()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ispis.pdf"));
    QVERIFY(writeAll(target, "old"));
    const QByteArray pdf = pdfBytes();
    StagedFile staged(target);
    // asking whether the file can be made makes nothing (one that cannot says why: tst_report)
    QCOMPARE(staged.whyNotCreatable(), QString());
    QVERIFY(!staged.exists());
    QCOMPARE(QFileInfo(staged.path()).absolutePath(), QFileInfo(target).absolutePath());
    QVERIFY(!staged.commit(StagedFile::completePdf)); // the writer made nothing
    QVERIFY(writeAll(staged.path(), pdf.left(pdf.size() - 40)));
    // on a disk with room a cut file is the writer's fault, and the check says what is cut
    QVERIFY(!staged.commit(StagedFile::completePdf));
    QCOMPARE(staged.errorText(),
             QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: PDF nema svoj završetak")
                 .arg(target));
    QCOMPARE(readAll(target), QByteArray("old"));
    QVERIFY(writeAll(staged.path(), pdf));
    QVERIFY2(staged.commit(StagedFile::completePdf), qPrintable(staged.errorText()));
    QCOMPARE(readAll(target), pdf);
    // a copy whose source cannot be read leaves the target as it was (one that works, and one
    // that meets a full disk: tst_report)
    QString error;
    QVERIFY(!AtomicFile::copyFile(dir.filePath(QStringLiteral("missing")), target, &error));
    QCOMPARE(readAll(target), pdf);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("ispis.pdf")});

    // what a signal handler calls: every file still staged goes, a committed one stays
    {
        // a path too long for a slot takes none and spills into none of the others: of the 64
        // slots, 63 hold the staged files beside it, and every one of them goes
        const StagedFile tooLong(dir.filePath(QString(5000, u'n')));
        std::deque<StagedFile> beside;
        for (int i = 0; i < 63; ++i) {
            beside.emplace_back(dir.filePath(QString::number(i)));
            QVERIFY(writeAll(beside.back().path(), pdf));
        }
        StagedFile::removeAllStaged();
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("ispis.pdf")});
    }
    // a slot given back is used again: more staged files than slots at once would not be
    // removed, one after another always are
    for (int i = 0; i < 200; ++i) {
        StagedFile again(dir.filePath(QStringLiteral("n.pdf")));
        QVERIFY(writeAll(again.path(), pdf));
        StagedFile::removeAllStaged();
        QVERIFY(!again.exists());
    }
}

QTEST_MAIN(TstAtomicFile)
#include "tst_atomicfile.moc"
