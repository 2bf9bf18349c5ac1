#include "app/desktopplatform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// A window that refuses to be closed, as one asking "save changes?" would.
class StubbornWindow : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

class tst_DesktopPlatform : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsMissingProgramAsEditor_data();
    void startsMissingProgramAsEditor();
    void startsExistingProgramDirectly();
    void messageDoesNotBlock();
    // Leaves every event loop of this process for good, so it runs last.
    void endProgramClosesEveryWindow();

private:
    // A shell script at `path` that writes `name` into the marker file.
    void writeScript(const QString &path, const QString &name, bool executable = true);
    QString marker() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedPath;
};

void tst_DesktopPlatform::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("bin"))));
    m_savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir->filePath(QStringLiteral("bin"))));
}

void tst_DesktopPlatform::cleanup()
{
    qputenv("PATH", m_savedPath);
    m_dir.reset();
}

void tst_DesktopPlatform::writeScript(const QString &path, const QString &name, bool executable)
{
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho " + name.toUtf8() + " > '" + QFile::encodeName(m_dir->filePath(QStringLiteral("marker"))) + "'\n");
    script.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QVERIFY(script.setPermissions(permissions));
}

QString tst_DesktopPlatform::marker() const
{
    QFile file(m_dir->filePath(QStringLiteral("marker")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

void tst_DesktopPlatform::startsMissingProgramAsEditor_data()
{
    QTest::addColumn<QStringList>("executables");
    QTest::addColumn<QStringList>("notExecutable");
    QTest::addColumn<QString>("started"); // "": nothing could be started

    QTest::newRow("one editor") << QStringList{"mousepad"} << QStringList{} << "mousepad";
    QTest::newRow("the first listed wins") << QStringList{"mousepad", "gedit", "xedit"} << QStringList{}
                                           << "gedit";
    QTest::newRow("a file that cannot run is passed over")
        << QStringList{"xed"} << QStringList{"gedit"} << "xed";
    QTest::newRow("no editor at all") << QStringList{} << QStringList{} << "";
    QTest::newRow("only unknown programs") << QStringList{"not-an-editor"} << QStringList{} << "";
}

void tst_DesktopPlatform::startsMissingProgramAsEditor()
{
    QFETCH(QStringList, executables);
    QFETCH(QStringList, notExecutable);
    QFETCH(QString, started);

    const QString bin = m_dir->filePath(QStringLiteral("bin"));
    for (const QString &name : executables)
        writeScript(bin + QLatin1Char('/') + name, name);
    for (const QString &name : notExecutable)
        writeScript(bin + QLatin1Char('/') + name, name, false);

    DesktopPlatform platform;
    QCOMPARE(platform.startProgram(QStringLiteral("c:\\windows\\notepad.exe")), !started.isEmpty());
    if (!started.isEmpty())
        QTRY_COMPARE(marker(), started);
}

void tst_DesktopPlatform::startsExistingProgramDirectly()
{
    const QString direct = m_dir->filePath(QStringLiteral("editor.sh"));
    writeScript(direct, QStringLiteral("direct"));
    writeScript(m_dir->filePath(QStringLiteral("bin/mousepad")), QStringLiteral("mousepad"));

    DesktopPlatform platform;
    QVERIFY(platform.startProgram(direct));
    QTRY_COMPARE(marker(), QStringLiteral("direct"));
}

void tst_DesktopPlatform::messageDoesNotBlock()
{
    QWidget parent;
    parent.show();
    DesktopPlatform platform;
    const QString text = QStringLiteral("No text editor was found.");
    platform.showMessage(&parent, text);

    // Reached at once: showMessage returned without waiting for the user.
    QPointer<QMessageBox> box = parent.findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QCOMPARE(box->text(), text);
    box->close();
    QTRY_VERIFY(box.isNull());
}

void tst_DesktopPlatform::endProgramClosesEveryWindow()
{
    QWidget main;
    StubbornWindow other;
    main.show();
    other.show();

    DesktopPlatform platform;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&platform] { platform.endProgram(); });
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(!main.isVisible());
    QVERIFY(!other.isVisible());
}

QTEST_MAIN(tst_DesktopPlatform)
#include "tst_desktopplatform.moc"
