// SPDX-License-Identifier: GPL-3.0-or-later
// The player's language: every text that goes through tr() has a finished
// translation in English and in French, and the window, its menus and the
// connection dialog show them; under the C locale, the texts as written.
#include "dialognetwork.h"
#include "helpmenu.h"
#include "language.h"
#include "windowparts.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Entry
{
    QString translation;
    bool finished = false;
};
// By context, then source text.
using Messages = QMap<QPair<QString, QString>, Entry>;

Messages readTs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    Messages messages;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            Entry entry;
            entry.finished = xml.attributes().value(QStringLiteral("type")).isEmpty();
            entry.translation = xml.readElementText();
            messages.insert({context, source}, entry);
        }
    }
    return messages;
}

// What the sources pass through tr() today, as lupdate finds it.
Messages scanSources(const QString& folder)
{
    const QString ts = folder + QStringLiteral("/scan.ts");
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(ARDESIA_SOURCE_DIR));
    lupdate.start(QStringLiteral(LUPDATE), {"-silent", "-locations", "none", "client", "common", "protocol",
                                            "server", "-ts", ts});
    if (!lupdate.waitForFinished(60000)) {
        lupdate.kill();
        lupdate.waitForFinished(5000);
        return {};
    }
    return readTs(ts);
}

struct Shown
{
    QString text;
    QString what;
};

// The texts a player sees without opening anything but the connection dialog.
QList<Shown> shownTexts()
{
    MainWindow window;
    DialogNetwork dialog;
    QList<Shown> texts{{window.windowTitle(), "title"}};
    for (QAction* menu : window.menuBar()->actions()) {
        texts << Shown{menu->text(), "menu"};
        for (QAction* entry : menu->menu()->actions())
            texts << Shown{entry->text(), "menu entry"};
    }
    for (int row : {1, 3, 5})
        texts << Shown{columnWidget<QLabel>(window, row)->text(), "side column"};
    texts << Shown{passButton(window)->text(), "pass button"};
    texts << Shown{dialog.windowTitle(), "dialog title"};
    texts << Shown{dialog.findChild<QPushButton*>("boutonConnexion")->text(), "connect button"};
    texts << Shown{dialog.findChild<QRadioButton*>("radioButton")->text(), "black"};
    texts << Shown{dialog.findChild<QRadioButton*>("radioButton_2")->text(), "white"};
    return texts;
}

QString cancelText()
{
    DialogNetwork dialog;
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text();
}

// The translation of source in whichever of the window's contexts holds it.
QString translated(const QTranslator& translator, const QString& source)
{
    for (const char* context : {"MainWindow", "HelpMenu", "DialogNetwork"}) {
        const QString text = translator.translate(context, source.toUtf8().constData());
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Language::install(QLocale::c()); }

    void everyTextHasAFinishedTranslation_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << "en";
        QTest::newRow("French") << "fr";
    }

    void everyTextHasAFinishedTranslation()
    {
        if (QStringLiteral(LUPDATE).isEmpty())
            QSKIP("Qt's Linguist tools are not installed");
        QFETCH(QString, language);
        QTemporaryDir folder;
        const Messages used = scanSources(folder.path());
        QVERIFY2(!used.isEmpty(), "lupdate found no text");
        const Messages committed =
            readTs(QStringLiteral(ARDESIA_SOURCE_DIR "/translations/ardesia_%1.ts").arg(language));
        QStringList lacking;
        for (auto it = used.cbegin(); it != used.cend(); ++it) {
            const Entry entry = committed.value(it.key());
            if (!entry.finished || entry.translation.isEmpty())
                lacking << it.key().first + QStringLiteral(": ") + it.key().second;
        }
        QVERIFY2(lacking.isEmpty(), qPrintable(QStringLiteral("run translations/update.sh and translate:\n")
                                               + lacking.join(u'\n')));
    }

    void theCLocaleShowsTheTextsAsWritten()
    {
        QCOMPARE(Language::install(QLocale::c()), QString());
        QStringList texts;
        for (const Shown& shown : shownTexts())
            texts << shown.text;
        const QStringList written{
            "QArdesia multi", "&Game", "&Begin alone...", "&Restart", "E&xit", "&Network", "&Play multi...",
            "&Options", "Show &legal moves", "Show last &move", "Show whose &turn", "&Stronger computer",
            "&Help", "&Rules", "&About", "C'est votre tour !", "Pion(s) noir:", "Pion(s) blanc:", "Passer",
            "Dialog", "Connect", "Noir", "Blanc"};
        QCOMPARE(texts, written);
    }

    void everyShownTextComesFromTheTranslation_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("gameMenu");
        QTest::addColumn<QString>("pass");
        QTest::addColumn<bool>("qtSpeaksIt");
        QTest::newRow("French") << "fr_FR" << "fr" << "&Partie" << "Passer" << true;
        QTest::newRow("English") << "en_GB" << "en" << "&Game" << "Pass" << false;
        // One language on screen rather than the written mix, Qt's buttons included.
        QTest::newRow("German, which has none") << "de_DE" << "en" << "&Game" << "Pass" << false;
    }

    void everyShownTextComesFromTheTranslation()
    {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QFETCH(QString, gameMenu);
        QFETCH(QString, pass);
        QFETCH(bool, qtSpeaksIt);
        QTranslator translator;
        if (!translator.load(QStringLiteral("ardesia_") + language, Language::folder()))
            QSKIP("the translations were not built");
        const QList<Shown> sources = shownTexts();
        const QString rulesSource = HelpMenu::rulesText();
        const QString writtenCancel = cancelText();
        QCOMPARE(Language::install(QLocale(locale)), language);
        const QList<Shown> texts = shownTexts();
        QCOMPARE(texts.size(), sources.size());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString expected = translated(translator, sources.at(i).text);
            QVERIFY2(!expected.isEmpty(), qPrintable(sources.at(i).what + ": " + sources.at(i).text));
            QCOMPARE(texts.at(i).text, expected);
        }
        QCOMPARE(texts.at(1).text, gameMenu);
        QCOMPARE(texts.at(texts.size() - 5).text, pass);
        QVERIFY(!translated(translator, rulesSource).isEmpty());
        QCOMPARE(HelpMenu::rulesText(), translated(translator, rulesSource));
        const bool qtInstalled =
            QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_" + language + ".qm");
        if (qtInstalled)
            QCOMPARE(cancelText() != writtenCancel, qtSpeaksIt);
    }
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
