// What a write does when it works, and the checks of files written by name. A write that fails on
// a full disk is tested for every writer at once, the program's own among them (tst_report).
#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"
#include "testsupport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTest>

#include <memory>
#include <vector>

using FullDisk::filesIn;
using FullDisk::readAll;
using FullDisk::writeAll;

namespace {

QByteArray pdfBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        QPainter(&pdf).fillRect(QRect(0, 0, 2000, 2000), Qt::darkBlue);
    }
    return buffer.data();
}

} // namespace

class TstAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void writeAndCopyReplaceTheTargetWhole();
    void stagedFileReplacesTheTargetOnlyWhenComplete();
    void checksTellCutFilesFromWholeOnes_data();
    void checksTellCutFilesFromWholeOnes();
    void stagedFileThatCannotBeMadeSaysWhy();
    void removeAllStagedLeavesOnlyCommittedFiles();
};

void TstAtomicFile::writeAndCopyReplaceTheTargetWhole()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a.xlsx"));
    QVERIFY(writeAll(target, "old"));
    QString error;
    QVERIFY2(AtomicFile::writeFile(target, QByteArray(100000, 'n'), &error), qPrintable(error));
    QCOMPARE(readAll(target), QByteArray(100000, 'n'));
    // a copy, from another file system (where a rename cannot go) when the test may mount one
    FullDisk::SmallDisk disk(QStringLiteral("1m"));
    const QTemporaryDir elsewhere;
    const QString source = disk.isMounted() ? disk.filePath(QStringLiteral("b.xlsx"))
                                            : elsewhere.filePath(QStringLiteral("b.xlsx"));
    QVERIFY(writeAll(source, QByteArray(300000, 's')));
    QVERIFY2(AtomicFile::copyFile(source, target, &error), qPrintable(error));
    QCOMPARE(readAll(target), QByteArray(300000, 's'));
    QVERIFY(!AtomicFile::copyFile(dir.filePath(QStringLiteral("missing")), target, &error));
    QCOMPARE(readAll(target), QByteArray(300000, 's'));
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("a.xlsx")});
}

void TstAtomicFile::stagedFileReplacesTheTargetOnlyWhenComplete()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ispis.pdf"));
    QVERIFY(writeAll(target, "old"));
    const QByteArray pdf = pdfBytes();
    {
        StagedFile staged(target);
        QCOMPARE(QFileInfo(staged.path()).absolutePath(), QFileInfo(target).absolutePath());
        QVERIFY(!staged.commit(StagedFile::completePdf)); // the writer made nothing
        QVERIFY(writeAll(staged.path(), pdf.left(pdf.size() - 40)));
        // on a disk with room a cut file is the writer's fault, and the check says what is cut
        QVERIFY(!staged.commit(StagedFile::completePdf));
        QCOMPARE(staged.errorText(),
                 QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: PDF nema svoj završetak")
                     .arg(target));
        QVERIFY(!staged.exists());
    }
    QCOMPARE(readAll(target), QByteArray("old"));
    StagedFile staged(target);
    QVERIFY(writeAll(staged.path(), pdf));
    QVERIFY2(staged.commit(StagedFile::completePdf), qPrintable(staged.errorText()));
    QCOMPARE(readAll(target), pdf);
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("ispis.pdf")});
}

void TstAtomicFile::checksTellCutFilesFromWholeOnes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("cut"); // bytes taken off the end; -1 all, -2 half
    QTest::addColumn<bool>("complete");
    for (const char *kind : {"pdf", "zip", "sqlite"}) {
        QTest::addRow("%s whole", kind) << kind << 0 << true;
        QTest::addRow("%s without its last 8 bytes", kind) << kind << 8 << false;
        QTest::addRow("%s cut in half", kind) << kind << -2 << false;
    }
    QTest::addRow("empty pdf") << "pdf" << -1 << false;
    QTest::addRow("empty zip") << "zip" << -1 << false;
}

void TstAtomicFile::checksTellCutFilesFromWholeOnes()
{
    QFETCH(QString, kind);
    QFETCH(int, cut);
    QFETCH(bool, complete);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file"));
    QByteArray bytes = readAll(TestSupport::demoBook());
    StagedFile::Check check = StagedFile::completeSqlite;
    if (kind == u"pdf") {
        bytes = pdfBytes();
        check = StagedFile::completePdf;
    } else if (kind == u"zip") {
        // A zip made by an independent writer: Python's own.
        if (QProcess::execute(QStringLiteral("/usr/bin/python3"),
                              {QStringLiteral("-c"),
                               QStringLiteral("import sys,zipfile\n"
                                              "z = zipfile.ZipFile(sys.argv[1], 'w', "
                                              "zipfile.ZIP_DEFLATED)\n"
                                              "z.writestr('xl/a.xml', 'x' * 5000)\n"
                                              "z.writestr('b.xml', 'y')\n"
                                              "z.close()\n"),
                               path}) != 0)
            QSKIP("python3 is needed to make a zip archive");
        bytes = readAll(path);
        check = StagedFile::completeZip;
    }
    QVERIFY(bytes.size() > 100);
    bytes.chop(cut == -1 ? bytes.size() : cut == -2 ? bytes.size() / 2 : cut);
    QVERIFY(writeAll(path, bytes));
    QString why;
    QCOMPARE(check(path, &why), complete);
    QCOMPARE(why.isEmpty(), complete);
}

void TstAtomicFile::stagedFileThatCannotBeMadeSaysWhy()
{
    QTemporaryDir dir;
    const StagedFile missingFolder(dir.filePath(QStringLiteral("nema/ispis.pdf")));
    QCOMPARE(missingFolder.whyNotCreatable(), qt_error_string(ENOENT));
    const StagedFile fine(dir.filePath(QStringLiteral("ispis.pdf")));
    QCOMPARE(fine.whyNotCreatable(), QString());
    QCOMPARE(filesIn(dir.path()), QStringList()); // asking made nothing
}

void TstAtomicFile::removeAllStagedLeavesOnlyCommittedFiles()
{
    // what a signal handler calls: every file still staged goes, a committed one stays
    QTemporaryDir dir;
    const QByteArray pdf = pdfBytes();
    StagedFile done(dir.filePath(QStringLiteral("gotov.pdf")));
    QVERIFY(writeAll(done.path(), pdf));
    QVERIFY(done.commit(StagedFile::completePdf));
    {
        // a path too long for a slot takes none and spills into none of the others: of the 64
        // slots, 63 hold the staged files beside it, and every one of them goes
        const StagedFile tooLong(dir.filePath(QString(5000, u'n')));
        std::vector<std::unique_ptr<StagedFile>> staged;
        for (int i = 0; i < 63; ++i) {
            staged.push_back(std::make_unique<StagedFile>(dir.filePath(QString::number(i))));
            QVERIFY(writeAll(staged.back()->path(), pdf));
        }
        StagedFile::removeAllStaged();
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("gotov.pdf")});
    }
    // a slot given back is used again: more staged files than slots at once would not be
    // removed, one after another always are
    for (int i = 0; i < 200; ++i) {
        StagedFile staged(dir.filePath(QStringLiteral("n.pdf")));
        QVERIFY(writeAll(staged.path(), pdf));
        StagedFile::removeAllStaged();
        QVERIFY(!staged.exists());
    }
}

QTEST_MAIN(TstAtomicFile)
#include "tst_atomicfile.moc"
