// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#include "Fakes.h"
#include "Form1.h"
#include "Form2.h"
#include "Skin.h"
#include "Translations.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>
#include <map>
#include <tuple>

namespace {
QString SourceFolder()
{
    return qEnvironmentVariable("SOURCE_DIR") + QStringLiteral("/translations");
}

// One message of a catalogue as lupdate keeps it.
struct Message {
    QString context;
    QString source;
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete", or empty when done
    bool operator==(const Message& other) const
    {
        return std::tie(context, source, translation, type)
            == std::tie(other.context, other.source, other.translation, other.type);
    }
};

// The messages of a .ts file, in file order; a file that does not read whole gives none.
std::vector<Message> ReadCatalogue(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (!xml.readNext() || !xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            Message message{context, {}, {}, {}};
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("source")) {
                    message.source = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    message.type = xml.attributes().value(QLatin1String("type")).toString();
                    message.translation = xml.readElementText();
                } else {
                    xml.skipCurrentElement();
                }
            }
            messages.push_back(message);
        }
    }
    return xml.hasError() ? std::vector<Message>() : messages;
}

// The placeholders %1 … %9 of a text, each as often as it occurs, in order.
QStringList Placeholders(const QString& text)
{
    QStringList found;
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

// A text a window shows or names for a screen reader, with the control it
// must fit in (none for names and menu entries, which take the room they need).
struct Caption {
    QString context;
    QString text;
    QWidget* control;
};

std::vector<Caption> Captions(QWidget& window)
{
    const QString context = QString::fromLatin1(window.metaObject()->className());
    std::vector<Caption> captions;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (auto* button = qobject_cast<QPushButton*>(child))
            captions.push_back({context, button->text(), button});
        else if (auto* box = qobject_cast<QGroupBox*>(child))
            captions.push_back({context, box->title(), box});
        if (!child->accessibleName().isEmpty())
            captions.push_back({context, child->accessibleName(), nullptr});
    }
    for (QMenu* menu : window.findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            captions.push_back({context, action->text(), nullptr});
    return captions;
}

// How wide a caption may be in its control: a push button's label within the
// margins the style keeps inside its frame; a frame's title with as much room
// on its right as the style leaves on its left.
int RoomFor(QWidget* control)
{
    QStyle* style = control->style();
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return contents.width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    }
    auto* box = qobject_cast<QGroupBox*>(control);
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = box->alignment();
    const QRect label = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return box->width() - 2 * label.left();
}

// Both windows as the program makes them, with whatever translator is installed.
struct Windows {
    TestPlatform test;
    StyleSheetSkin skin;
    Form1 main{test.platform, skin};
    Form2 preview{test.platform, &main};
};
} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT
private:
    // One row per catalogue in the repository: a language added there is tested too.
    static void catalogueRows()
    {
        QTest::addColumn<QString>("language");
        const QStringList files = QDir(SourceFolder()).entryList({QStringLiteral("pelorin_*.ts")}, QDir::Files, QDir::Name);
        for (const QString& file : files) {
            const QString language = file.mid(8, file.size() - 11);
            QTest::newRow(qPrintable(language)) << language;
        }
    }

private slots:
    void everyCatalogueIsCompiledBesideTheProgram()
    {
        const QStringList sources = QDir(SourceFolder()).entryList({QStringLiteral("pelorin_*.ts")}, QDir::Files, QDir::Name);
        QVERIFY(sources.size() >= 3);
        QStringList compiled;
        for (const QString& file : QDir(qEnvironmentVariable("PELORIN_CATALOGUES")).entryList({QStringLiteral("pelorin_*.qm")}, QDir::Files, QDir::Name))
            compiled << file.chopped(3) + QStringLiteral(".ts");
        QCOMPARE(compiled, sources);
    }

    void theCatalogueIsComplete_data() { catalogueRows(); }
    void theCatalogueIsComplete()
    {
        QFETCH(QString, language);
        const std::vector<Message> messages = ReadCatalogue(SourceFolder() + QStringLiteral("/pelorin_") + language + QStringLiteral(".ts"));
        QVERIFY(!messages.empty());
        for (const Message& message : messages) {
            const QString where = message.context + QStringLiteral(": ") + message.source;
            QVERIFY2(message.type.isEmpty(), qPrintable(message.type + QStringLiteral(" - ") + where));
            QVERIFY2(!message.translation.trimmed().isEmpty(), qPrintable(where));
            // Each value the program puts in must have its place in the translation.
            QVERIFY2(Placeholders(message.translation) == Placeholders(message.source),
                     qPrintable(where + QStringLiteral(" -> ") + message.translation));
        }
    }

    // lupdate reads the sources as the update_translations target does, into
    // a copy: a text added, changed or removed in the sources and not yet in
    // the catalogue changes the copy's messages. Compared message by message,
    // since lupdate's layout of the file may differ between Qt releases.
    void theCatalogueHoldsTheTextsOfTheSources_data() { catalogueRows(); }
    void theCatalogueHoldsTheTextsOfTheSources()
    {
        QFETCH(QString, language);
        const QString original = SourceFolder() + QStringLiteral("/pelorin_") + language + QStringLiteral(".ts");
        QTemporaryDir scratch;
        const QString copy = scratch.filePath(QStringLiteral("pelorin_") + language + QStringLiteral(".ts"));
        QVERIFY(QFile::copy(original, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QStringList arguments = qEnvironmentVariable("PELORIN_LUPDATE_ARGUMENTS").split(QLatin1Char('|'), Qt::SkipEmptyParts);
        QVERIFY(!arguments.isEmpty());
        arguments << QStringLiteral("-ts") << copy;
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(qEnvironmentVariable("PELORIN_LUPDATE"), arguments);
        QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, lupdate.readAll().constData());
        const std::vector<Message> before = ReadCatalogue(original);
        const std::vector<Message> after = ReadCatalogue(copy);
        QVERIFY(!before.empty());
        for (const Message& message : after) {
            const bool kept = std::find(before.begin(), before.end(), message) != before.end();
            QVERIFY2(kept, qPrintable(QStringLiteral("not in the catalogue as lupdate has it (run the update_translations target): ")
                                      + message.context + QStringLiteral(": ") + message.source));
        }
        QCOMPARE(after.size(), before.size());
    }

    // At the windows' fixed size, measured with each control's own font.
    void everyCaptionIsTranslatedAndFitsItsControl_data() { catalogueRows(); }
    void everyCaptionIsTranslatedAndFitsItsControl()
    {
        QFETCH(QString, language);
        std::vector<Caption> english;
        {
            Windows windows;
            english = Captions(windows.main);
            const std::vector<Caption> more = Captions(windows.preview);
            english.insert(english.end(), more.begin(), more.end());
        }
        QTranslator catalogue;
        QVERIFY(catalogue.load(qEnvironmentVariable("PELORIN_CATALOGUES") + QStringLiteral("/pelorin_") + language + QStringLiteral(".qm")));
        QVERIFY(QCoreApplication::installTranslator(&catalogue));
        Windows windows;
        std::vector<Caption> translated = Captions(windows.main);
        const std::vector<Caption> more = Captions(windows.preview);
        translated.insert(translated.end(), more.begin(), more.end());
        QCoreApplication::removeTranslator(&catalogue);

        QCOMPARE(translated.size(), english.size());
        QVERIFY(english.size() >= 13);
        for (size_t i = 0; i < translated.size(); ++i) {
            const Caption& caption = translated[i];
            // Made through the catalogue: what it says for the English text.
            QCOMPARE(caption.text, catalogue.translate(qPrintable(english[i].context), qPrintable(english[i].text)));
            if (!caption.control)
                continue;
            const int width = caption.control->fontMetrics().horizontalAdvance(caption.text);
            QVERIFY2(width <= RoomFor(caption.control),
                     qPrintable(QStringLiteral("\"%1\" is %2 pixels wide, its control has room for %3")
                                    .arg(caption.text).arg(width).arg(RoomFor(caption.control))));
        }
    }

    void theUsersFirstLanguageWithACatalogueIsTaken()
    {
        QTemporaryDir built;
        QTemporaryDir installed;
        for (const QString& name : {QStringLiteral("pelorin_de.qm"), QStringLiteral("pelorin_fr.qm")})
            QVERIFY(QFile(built.filePath(name)).open(QIODevice::WriteOnly));
        QVERIFY(QFile(installed.filePath(QStringLiteral("pelorin_es.qm"))).open(QIODevice::WriteOnly));
        QVERIFY(QFile(installed.filePath(QStringLiteral("pelorin_de.qm"))).open(QIODevice::WriteOnly));
        const QStringList folders{built.path(), installed.path()};
        const auto chosen = [&](const QStringList& languages) { return ChooseCatalogue(languages, folders).path; };

        QCOMPARE(chosen({"de"}), built.filePath("pelorin_de.qm"));
        // A region the program has no catalogue of takes its language's.
        QCOMPARE(ChooseCatalogue({"de-AT"}, folders).path, built.filePath("pelorin_de.qm"));
        QCOMPARE(ChooseCatalogue({"de-AT"}, folders).language, QStringLiteral("de_AT"));
        QCOMPARE(chosen({"fr-CA", "de"}), built.filePath("pelorin_fr.qm"));
        // LANGUAGE=it:es — the first in the list that the program knows.
        QCOMPARE(chosen({"it", "es-ES"}), installed.filePath("pelorin_es.qm"));
        // Unknown languages, and English anywhere before a known one, keep the English texts.
        QCOMPARE(chosen({"xx"}), QString());
        QCOMPARE(chosen({}), QString());
        QCOMPARE(chosen({"en-GB", "de"}), QString());
        QCOMPARE(chosen({"xx", "en", "fr"}), QString());
        QCOMPARE(chosen({"C"}), QString());
        // A language named by its first letters only is another language.
        QCOMPARE(chosen({"d"}), QString());
    }

    void anInstalledProgramFindsItsDataFolder()
    {
        QCOMPARE(CatalogueFolders(QStringLiteral("/usr/lib/pelorin-greeting-designer")),
                 QStringList({"/usr/lib/pelorin-greeting-designer/translations", "/usr/share/pelorin-greeting-designer/translations"}));
        QCOMPARE(CatalogueFolders(QStringLiteral("/tmp/root/usr/local/lib/pelorin-greeting-designer")).value(1),
                 QStringLiteral("/tmp/root/usr/local/share/pelorin-greeting-designer/translations"));
    }
};

QTEST_MAIN(CatalogueTest)
#include "test_catalogues.moc"
