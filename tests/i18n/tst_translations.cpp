// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the window shows comes from the English or French translation of the texts the C locale shows.
#include "common/language.h"
#include "network/dialognetwork.h"
#include "windowparts.h"

#include <QAbstractButton>
#include <QTest>
#include <QTranslator>

namespace {

// What a player sees without opening anything but the connection dialog.
QStringList shownTexts()
{
    MainWindow window;
    DialogNetwork dialog;
    QStringList texts{window.windowTitle()};
    for (QAction* menu : window.menuBar()->actions()) {
        texts << menu->text();
        for (QAction* entry : menu->menu()->actions())
            texts << entry->text();
    }
    for (int row : {1, 3, 5})
        texts << columnWidget<QLabel>(window, row)->text();
    texts << passButton(window)->text() << dialog.windowTitle();
    for (const char* name : {"boutonConnexion", "radioButton", "radioButton_2"})
        texts << dialog.findChild<QAbstractButton*>(name)->text();
    return texts;
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Language::install(QLocale::c()); }

    void everyShownTextComesFromTheTranslation_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("French") << "fr_FR" << "fr";
        // English, and one language on screen rather than the written mix.
        QTest::newRow("German, which has none") << "de_DE" << "en";
    }

    void everyShownTextComesFromTheTranslation()
    {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QTranslator translator;
        if (!translator.load("ardesia_" + language, Language::folder()))
            QSKIP("the translations were not built");
        QCOMPARE(Language::install(QLocale::c()), QString()); // the texts as written, the translations' sources
        const QStringList sources = shownTexts();
        QCOMPARE(Language::install(QLocale(locale)), language);
        const QStringList texts = shownTexts();
        QCOMPARE(texts.size(), sources.size());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QString expected;
            for (const char* context : {"MainWindow", "HelpMenu", "DialogNetwork"})
                expected += translator.translate(context, sources.at(i).toUtf8().constData());
            QVERIFY2(!expected.isEmpty(), qPrintable("not translated: " + sources.at(i)));
            QCOMPARE(texts.at(i), expected);
        }
    }
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
