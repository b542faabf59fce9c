#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"
#include "testsupport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray pdfBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        QPainter p(&pdf);
        p.fillRect(QRect(0, 0, 2000, 2000), Qt::darkBlue);
    }
    return buffer.data();
}

QStringList filesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TstAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void writeReplacesTheTargetWhole();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();
    void copyIsCheckedLikeAWrite();
    void stagedFileReplacesTheTargetOnlyWhenComplete();
    void checksTellCutFilesFromWholeOnes_data();
    void checksTellCutFilesFromWholeOnes();
    void stagedFileCutByTheDiskSaysTheSystemsCause();
    void stagedFileThatCannotBeMadeSaysWhy();
    void removeAllStagedLeavesOnlyCommittedFiles();
};

void TstAtomicFile::writeReplacesTheTargetWhole()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("a.txt"));
    QVERIFY(writeBytes(target, "old"));
    QString error;
    QVERIFY2(AtomicFile::writeFile(target, QByteArray(100000, 'n'), &error), qPrintable(error));
    QCOMPARE(readAll(target), QByteArray(100000, 'n'));
    QCOMPARE(filesIn(dir), QStringList{QStringLiteral("a.txt")});
}

void TstAtomicFile::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("writeSize");
    // past the buffer: the file device writes it at once, and only part of it fits
    QTest::newRow("one large write") << 4096 << 1 << 200000;
    // the buffer fills and its flush fails between two writes
    QTest::newRow("many small writes") << 20000 << 500 << 100;
    // all writes fit the buffer; only the last flush, at commit, meets the limit
    QTest::newRow("only the last flush fails") << 1000 << 20 << 100;
}

void TstAtomicFile::failedWriteKeepsTheOldFile()
{
    QFETCH(int, limit);
    QFETCH(int, writes);
    QFETCH(int, writeSize);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("b.pdf"));
    QVERIFY(writeBytes(target, "old"));
    bool committed = true;
    QString error;
    {
        FullDisk::SizeLimit limited(limit);
        QVERIFY(limited.isSet());
        AtomicFile file(target);
        QVERIFY(file.open());
        for (int i = 0; i < writes; ++i)
            file.write(QByteArray(writeSize, 'x'));
        committed = file.commit();
        error = file.errorText();
    }
    QVERIFY(!committed);
    QVERIFY2(
        error.startsWith(QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: ").arg(target)),
        qPrintable(error));
    QCOMPARE(readAll(target), QByteArray("old"));
    QCOMPARE(filesIn(dir), QStringList{QStringLiteral("b.pdf")});
}

void TstAtomicFile::fullDiskKeepsTheOldFile()
{
    FullDisk::SmallDisk disk(QStringLiteral("512k"));
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.whyNot()));
    const QString target = disk.filePath(QStringLiteral("c.png"));
    QVERIFY(writeBytes(target, "old"));
    QVERIFY(disk.fillLeaving(16 * 1024));
    QString error;
    QVERIFY(!AtomicFile::writeFile(target, QByteArray(256 * 1024, 'x'), &error));
    QVERIFY2(error.endsWith(qt_error_string(ENOSPC)), qPrintable(error));
    QCOMPARE(readAll(target), QByteArray("old"));
    QCOMPARE(disk.files(), QStringList{QStringLiteral("c.png")});
}

void TstAtomicFile::copyIsCheckedLikeAWrite()
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.xlsx"));
    const QString target = dir.filePath(QStringLiteral("target.xlsx"));
    QVERIFY(writeBytes(source, QByteArray(300000, 's')));
    QVERIFY(writeBytes(target, "old"));
    QString error;
    {
        FullDisk::SizeLimit limited(100000);
        QVERIFY(!AtomicFile::copyFile(source, target, &error));
    }
    QVERIFY(error.contains(QStringLiteral("nije zapisana do kraja")));
    QCOMPARE(readAll(target), QByteArray("old"));

    // From another file system, where a rename cannot go: the same checked copy.
    FullDisk::SmallDisk disk(QStringLiteral("1m"));
    const QString from =
        disk.isMounted() ? disk.filePath(QStringLiteral("elsewhere.xlsx")) : source;
    QVERIFY(writeBytes(from, QByteArray(300000, 's')));
    QVERIFY2(AtomicFile::copyFile(from, target, &error), qPrintable(error));
    QCOMPARE(readAll(target), QByteArray(300000, 's'));
    QVERIFY(!AtomicFile::copyFile(dir.filePath(QStringLiteral("missing")), target, &error));
    QCOMPARE(readAll(target), QByteArray(300000, 's'));
    QCOMPARE(filesIn(dir),
             (QStringList{QStringLiteral("source.xlsx"), QStringLiteral("target.xlsx")}));
}

void TstAtomicFile::stagedFileReplacesTheTargetOnlyWhenComplete()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ispis.pdf"));
    QVERIFY(writeBytes(target, "old"));
    const QByteArray pdf = pdfBytes();
    {
        StagedFile staged(target);
        QCOMPARE(QFileInfo(staged.path()).absolutePath(), QFileInfo(target).absolutePath());
        QVERIFY(!staged.commit(StagedFile::completePdf)); // the writer made nothing
        QVERIFY(writeBytes(staged.path(), pdf.left(pdf.size() - 40)));
        QVERIFY(!staged.commit(StagedFile::completePdf));
        QVERIFY2(staged.errorText().startsWith(
                     QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: ").arg(target)),
                 qPrintable(staged.errorText()));
        QVERIFY(!staged.exists());
    }
    QCOMPARE(readAll(target), QByteArray("old"));
    StagedFile staged(target);
    QVERIFY(writeBytes(staged.path(), pdf));
    QVERIFY2(staged.commit(StagedFile::completePdf), qPrintable(staged.errorText()));
    QCOMPARE(readAll(target), pdf);
    QCOMPARE(filesIn(dir), QStringList{QStringLiteral("ispis.pdf")});
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
    QByteArray bytes;
    StagedFile::Check check;
    if (kind == u"pdf") {
        bytes = pdfBytes();
        check = StagedFile::completePdf;
    } else if (kind == u"zip") {
        // A zip made by an independent writer: Python's own.
        const QString archive = dir.filePath(QStringLiteral("made.zip"));
        if (QProcess::execute(QStringLiteral("/usr/bin/python3"),
                              {QStringLiteral("-c"),
                               QStringLiteral("import sys,zipfile\n"
                                              "z = zipfile.ZipFile(sys.argv[1], 'w', "
                                              "zipfile.ZIP_DEFLATED)\n"
                                              "z.writestr('xl/a.xml', 'x' * 5000)\n"
                                              "z.writestr('b.xml', 'y')\n"
                                              "z.close()\n"),
                               archive}) != 0)
            QSKIP("python3 is needed to make a zip archive");
        bytes = readAll(archive);
        check = StagedFile::completeZip;
    } else {
        bytes = readAll(TestSupport::demoBook());
        check = StagedFile::completeSqlite;
    }
    QVERIFY(bytes.size() > 100);
    if (cut == -1)
        bytes.clear();
    else if (cut == -2)
        bytes.truncate(bytes.size() / 2);
    else
        bytes.chop(cut);
    QVERIFY(writeBytes(path, bytes));
    QString why;
    QCOMPARE(check(path, &why), complete);
    QCOMPARE(why.isEmpty(), complete);
}

void TstAtomicFile::stagedFileCutByTheDiskSaysTheSystemsCause()
{
    // a writer that drops its write errors (as the PDF engine does) leaves a cut file; the commit
    // tells the disk's refusal in the system's words, not only that the content is cut
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ispis.pdf"));
    QVERIFY(writeBytes(target, "old"));
    StagedFile staged(target);
    QVERIFY(writeBytes(staged.path(), pdfBytes().left(100)));
    bool committed = true;
    {
        FullDisk::SizeLimit limited(100);
        QVERIFY(limited.isSet());
        committed = staged.commit(StagedFile::completePdf);
    }
    QVERIFY(!committed);
    QCOMPARE(staged.errorText(), QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: %2")
                                     .arg(target, qt_error_string(EFBIG)));
    QCOMPARE(filesIn(dir), QStringList{QStringLiteral("ispis.pdf")});

    // on a disk with room the content is at fault, and says so
    FullDisk::SmallDisk disk(QStringLiteral("256k"));
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.whyNot()));
    StagedFile onDisk(disk.filePath(QStringLiteral("a.pdf")));
    QVERIFY(writeBytes(onDisk.path(), pdfBytes().left(100)));
    QVERIFY(disk.fillLeaving(0));
    QVERIFY(!onDisk.commit(StagedFile::completePdf));
    QVERIFY2(onDisk.errorText().endsWith(qt_error_string(ENOSPC)), qPrintable(onDisk.errorText()));
    StagedFile withRoom(dir.filePath(QStringLiteral("b.pdf")));
    QVERIFY(writeBytes(withRoom.path(), pdfBytes().left(100)));
    QVERIFY(!withRoom.commit(StagedFile::completePdf));
    QVERIFY2(withRoom.errorText().endsWith(QStringLiteral("PDF nema svoj završetak")),
             qPrintable(withRoom.errorText()));
}

void TstAtomicFile::stagedFileThatCannotBeMadeSaysWhy()
{
    QTemporaryDir dir;
    const StagedFile missingFolder(dir.filePath(QStringLiteral("nema/ispis.pdf")));
    QCOMPARE(missingFolder.whyNotCreatable(), qt_error_string(ENOENT));
    const StagedFile fine(dir.filePath(QStringLiteral("ispis.pdf")));
    QCOMPARE(fine.whyNotCreatable(), QString());
    QCOMPARE(filesIn(dir), QStringList()); // asking made nothing
}

void TstAtomicFile::removeAllStagedLeavesOnlyCommittedFiles()
{
    // what a signal handler calls: every file still staged goes, a committed one stays
    QTemporaryDir dir;
    const QByteArray pdf = pdfBytes();
    StagedFile done(dir.filePath(QStringLiteral("gotov.pdf")));
    QVERIFY(writeBytes(done.path(), pdf));
    QVERIFY(done.commit(StagedFile::completePdf));
    StagedFile first(dir.filePath(QStringLiteral("a.pdf")));
    StagedFile second(dir.filePath(QStringLiteral("b.pdf")));
    QVERIFY(writeBytes(first.path(), pdf));
    QVERIFY(writeBytes(second.path(), pdf));
    StagedFile::removeAllStaged();
    QCOMPARE(filesIn(dir), QStringList{QStringLiteral("gotov.pdf")});
    QVERIFY(!first.exists() && !second.exists());
    // a slot given back is used again: more staged files than slots at once would not be
    // removed, one after another always are
    for (int i = 0; i < 200; ++i) {
        StagedFile staged(dir.filePath(QStringLiteral("n.pdf")));
        QVERIFY(writeBytes(staged.path(), pdf));
        StagedFile::removeAllStaged();
        QVERIFY(!staged.exists());
    }
}

QTEST_MAIN(TstAtomicFile)
#include "tst_atomicfile.moc"
