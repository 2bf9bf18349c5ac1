#include "app/desktopplatform.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// A window that refuses to be closed, as one asking "save changes?" would.
struct StubbornWindow : QWidget
{
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

class tst_DesktopPlatform : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { qputenv("PATH", m_savedPath); }
    void startProgram_data();
    void startProgram();
    void messageDoesNotBlock();
    // Leaves every event loop of this process for good, so it runs last.
    void endProgramClosesEveryWindow();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedPath = qgetenv("PATH");
};

void tst_DesktopPlatform::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bin")));
    qputenv("PATH", QFile::encodeName(m_dir->filePath(QStringLiteral("bin"))));
}

void tst_DesktopPlatform::startProgram_data()
{
    QTest::addColumn<QStringList>("scripts"); // a leading '-': the file may not be run
    QTest::addColumn<QString>("program");     // relative: inside the test's directory
    QTest::addColumn<QString>("started");     // "": nothing could be started

    const QString notepad = QStringLiteral("c:\\windows\\notepad.exe");
    QTest::newRow("existing program") << QStringList{"editor.sh", "bin/mousepad"} << "editor.sh" << "editor.sh";
    QTest::newRow("first editor listed") << QStringList{"bin/mousepad", "bin/gedit", "bin/xedit"} << notepad << "gedit";
    QTest::newRow("editor that cannot run") << QStringList{"bin/xed", "-bin/gedit"} << notepad << "xed";
    QTest::newRow("no editor, other programs") << QStringList{"bin/not-an-editor"} << notepad << "";
}

void tst_DesktopPlatform::startProgram()
{
    QFETCH(QStringList, scripts);
    QFETCH(QString, program);
    QFETCH(QString, started);

    // Each script writes its own name into the marker file.
    const QString marker = m_dir->filePath(QStringLiteral("marker"));
    for (const QString &script : scripts) {
        QFile file(m_dir->filePath(script.mid(script.startsWith(u'-'))));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho \"${0##*/}\" > '" + QFile::encodeName(marker) + "'\n");
        file.close();
        QVERIFY(file.setPermissions(script.startsWith(u'-') ? QFile::ReadOwner : QFile::ReadOwner | QFile::ExeOwner));
    }
    QCOMPARE(DesktopPlatform().startProgram(program.contains(u':') ? program : m_dir->filePath(program)), !started.isEmpty());
    QTRY_COMPARE(contents(marker), started);
}

// A failed start is reported without waiting for the user: the browser goes on.
void tst_DesktopPlatform::messageDoesNotBlock()
{
    QWidget parent;
    parent.show();
    DesktopPlatform().showMessage(&parent, QStringLiteral("No text editor was found."));
    const auto *box = parent.findChild<QMessageBox *>();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QCOMPARE(box->text(), QStringLiteral("No text editor was found."));
}

void tst_DesktopPlatform::endProgramClosesEveryWindow()
{
    QWidget main;
    StubbornWindow other;
    main.show();
    other.show();
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [] { DesktopPlatform().endProgram(); });
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(!main.isVisible() && !other.isVisible());
}

QTEST_MAIN(tst_DesktopPlatform)
#include "tst_desktopplatform.moc"
