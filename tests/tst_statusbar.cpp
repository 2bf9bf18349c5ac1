#include "statusbar.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

class tst_StatusBar : public QObject
{
    Q_OBJECT
private slots:
    void withoutSeconds_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("day period after") << "h:mm:ss AP" << "h:mm AP";
        QTest::newRow("fraction and zone") << "HH:mm:ss.zzz t" << "HH:mm t";
        QTest::newRow("label of the whole time") << "H:mm:ss 'ch'." << "H:mm 'ch'.";
        QTest::newRow("labelled fields") << "HH 'h' mm 'min' ss 's'" << "HH 'h' mm 'min'";
        QTest::newRow("s in quotes") << "HH:mm 'as''s'" << "HH:mm 'as''s'";
    }

    void withoutSeconds()
    {
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(StatusBar::withoutSeconds(format), expected);
    }

    void clockPanelsFollowTheClock_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::newRow("C") << "C";
        QTest::newRow("en_US") << "en_US";
    }

    void clockPanelsFollowTheClock()
    {
        QFETCH(QString, localeName);
        const QLocale locale(localeName);
        // The locale's own short time text, less the seconds and what leads to them.
        const auto hoursAndMinutes = [&locale](const QDateTime &at) {
            return locale.toString(at.time(), QLocale::ShortFormat)
                    .remove(QRegularExpression("\\W?" + locale.toString(at.time(), u"ss")));
        };
        QDateTime now(QDate(2024, 3, 5), QTime(13, 7, 42));
        StatusBar bar(96, nullptr, [&now] { return now; });
        bar.setLocale(locale);
        QCOMPARE(bar.panelText(3), locale.toString(now.date(), QLocale::ShortFormat));
        QCOMPARE(bar.panelText(4), hoursAndMinutes(now));

        // It wakes by itself when the minute turns, and reads the clock afresh.
        now.setTime(QTime(13, 7, 59, 900));
        bar.refreshClock();
        now = QDateTime(QDate(2024, 3, 6), QTime(14, 30, 42));
        QTRY_COMPARE(bar.panelText(4), hoursAndMinutes(now));
        QCOMPARE(bar.panelText(3), locale.toString(now.date(), QLocale::ShortFormat));

        // A new screen may be a machine waking up: the panels are read again at once.
        now = now.addSecs(4000);
        emit qGuiApp->screenAdded(QGuiApplication::primaryScreen());
        QCOMPARE(bar.panelText(4), hoursAndMinutes(now));
    }
};

QTEST_MAIN(tst_StatusBar)
#include "tst_statusbar.moc"
