// SPDX-License-Identifier: GPL-3.0-or-later
// Traces: on where developers and tests run, off in an installed game unless
// the player asks.
#include "logging.h"

#include <QDebug>
#include <QStringList>
#include <QTest>

namespace {

QStringList written;

void keep(QtMsgType, const QMessageLogContext&, const QString& text)
{
    written << text;
}

} // namespace

class LoggingTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QLoggingCategory::setFilterRules(QString());
        written.clear();
    }

    void testsRunInTheBuildTree() { QVERIFY(Logging::runsFromBuildTree()); }

    void tracesWhereAsked_data()
    {
        QTest::addColumn<bool>("verbose");
        QTest::addColumn<bool>("fromBuildTree");
        QTest::addColumn<bool>("shown");
        QTest::newRow("installed") << false << false << false;
        QTest::newRow("installed, --verbose") << true << false << true;
        QTest::newRow("build tree") << false << true << true;
    }

    void tracesWhereAsked()
    {
        QFETCH(bool, verbose);
        QFETCH(bool, fromBuildTree);
        QFETCH(bool, shown);
        Logging::quietUnlessAsked(verbose, fromBuildTree);
        const QtMessageHandler previous = qInstallMessageHandler(keep);
        qDebug() << "plain";
        qCDebug(ardesiaTrace) << "category";
        qWarning() << "warning";
        qInstallMessageHandler(previous);
        // Warnings are never the traces' to silence.
        const QStringList expected = shown ? QStringList{"plain", "category", "warning"} : QStringList{"warning"};
        QCOMPARE(written, expected);
    }
};

QTEST_GUILESS_MAIN(LoggingTest)
#include "tst_logging.moc"
