// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// Shape names read from Word 97-2003 files: real files written by the office,
// hand-built streams for the layouts the office does not write, and damaged
// input that must fail cleanly.

#include "OfficeArtShapes.h"

#include "ErrorTrap.h"

#include <QFile>
#include <QtTest>

namespace {

QString dataFile(const QString& name)
{
    return QString::fromLocal8Bit(qgetenv("SOURCE_DIR")) + QStringLiteral("/tests/office/data/") + name;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void put16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}
void put32(QByteArray& out, uint32_t v)
{
    put16(out, uint16_t(v & 0xFFFF));
    put16(out, uint16_t(v >> 16));
}
void set32(QByteArray& out, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray record(uint16_t version, uint16_t instance, uint16_t type, const QByteArray& body)
{
    QByteArray out;
    put16(out, uint16_t(version | (instance << 4)));
    put16(out, type);
    put32(out, uint32_t(body.size()));
    return out + body;
}

struct Property {
    uint16_t id;
    QByteArray complex;  // empty: a simple property with value 7
};

QByteArray utf16z(const QString& text)
{
    QByteArray out;
    for (QChar c : text)
        put16(out, c.unicode());
    put16(out, 0);
    return out;
}

QByteArray shapeContainer(uint32_t id, const QVector<Property>& properties, uint16_t tableType = 0xF00B)
{
    QByteArray fsp;
    put32(fsp, id);
    put32(fsp, 0x0A00);
    QByteArray fixed, complex;
    for (const Property& p : properties) {
        put16(fixed, uint16_t(p.id | (p.complex.isEmpty() ? 0 : 0x8000)));
        put32(fixed, p.complex.isEmpty() ? 7 : uint32_t(p.complex.size()));
        complex += p.complex;
    }
    return record(0xF, 0, 0xF004,
                  record(2, 0, 0xF00A, fsp) + record(3, uint16_t(properties.size()), tableType, fixed + complex));
}

QByteArray named(uint32_t id, const QString& name)
{
    return shapeContainer(id, {{0x0080, {}}, {0x0380, utf16z(name)}});
}

struct Anchor {
    uint32_t id;
    int32_t left, top, right, bottom;
    uint16_t flags = 0x0060;  // as the office writes it
};

// A WordDocument stream whose FIB points at the two tables given by offset.
QByteArray fib(bool table1, uint32_t spaFc, uint32_t spaLcb, uint32_t artFc, uint32_t artLcb)
{
    QByteArray out(32, '\0');
    out[0] = char(0xEC);
    out[1] = char(0xA5);
    if (table1)
        out[0x0B] = 0x02;
    put16(out, 14);
    out += QByteArray(28, '\0');
    put16(out, 22);
    out += QByteArray(88, '\0');
    put16(out, 93);
    const int pairs = out.size();
    out += QByteArray(93 * 8, '\0');
    set32(out, pairs + 40 * 8, spaFc);
    set32(out, pairs + 40 * 8 + 4, spaLcb);
    set32(out, pairs + 50 * 8, artFc);
    set32(out, pairs + 50 * 8 + 4, artLcb);
    return out;
}

struct Built {
    QByteArray word, table;
};

// Table stream: 16 filler bytes, the anchor table, then the drawing data.
Built build(const QVector<Anchor>& anchors, const QByteArray& drawings, bool table1 = false)
{
    Built b;
    b.table = QByteArray(16, 'x');
    const uint32_t spaFc = uint32_t(b.table.size());
    for (int i = 0; i <= anchors.size(); ++i)
        put32(b.table, uint32_t(i));
    for (const Anchor& a : anchors) {
        put32(b.table, a.id);
        put32(b.table, uint32_t(a.left));
        put32(b.table, uint32_t(a.top));
        put32(b.table, uint32_t(a.right));
        put32(b.table, uint32_t(a.bottom));
        put16(b.table, a.flags);
        put32(b.table, 0);
    }
    const uint32_t spaLcb = uint32_t(b.table.size()) - spaFc;
    const uint32_t artFc = uint32_t(b.table.size());
    const QByteArray art = record(0xF, 0, 0xF000, record(0, 0, 0xF006, QByteArray(16, '\0'))) + drawings;
    b.table += art;
    b.word = fib(table1, anchors.isEmpty() ? 0 : spaFc, anchors.isEmpty() ? 0 : spaLcb, artFc, uint32_t(art.size()));
    return b;
}

QByteArray drawing(uint8_t label, const QByteArray& shapes)
{
    return QByteArray(1, char(label)) +
           record(0xF, 0, 0xF002, record(0, 0, 0xF008, QByteArray(8, '\0')) + record(0xF, 0, 0xF003, shapes));
}

QVector<OfficeArtShape> parseMain(const Built& b)
{
    return parseOfficeArtShapes(b.word, b.table, {});
}

}  // namespace

class OfficeArtShapesTest : public QObject {
    Q_OBJECT

private slots:
    // Files written by the office itself.
    void fixtureTemplate()
    {
        const QVector<OfficeArtShape> shapes = readOfficeArtShapes(dataFile(QStringLiteral("shapes.dot")));
        QCOMPARE(shapes.size(), 2);
        QCOMPARE(shapes[0].name, QStringLiteral("Greeting"));
        QCOMPARE(shapes[1].name, QStringLiteral("Note Box"));
        QVERIFY(shapes[0].shapeId != shapes[1].shapeId);
        QCOMPARE(shapes[0].left, 1440);
        QCOMPARE(shapes[0].top, 1440);
        QCOMPARE(shapes[0].right, 5760);
        QCOMPARE(shapes[0].bottom, 2880);
        QCOMPARE(shapes[1].left, 6480);
        QCOMPARE(shapes[1].top, 10080);
        QCOMPARE(shapes[1].right, 9360);
        QCOMPARE(shapes[1].bottom, 12240);
        // The same bytes from memory give the same answer.
        const QVector<OfficeArtShape> fromData = readOfficeArtShapesFromData(readAll(dataFile(QStringLiteral("shapes.dot"))));
        QCOMPARE(fromData.size(), 2);
        QCOMPARE(fromData[1].name, shapes[1].name);
        QCOMPARE(fromData[1].shapeId, shapes[1].shapeId);
    }

    void cardTemplate()
    {
        const QString path = QString::fromLocal8Bit(qgetenv("SOURCE_DIR")) + QStringLiteral("/resources/card-template.dot");
        if (!QFile::exists(path))
            QSKIP("resources/card-template.dot not built yet");
        const QVector<OfficeArtShape> shapes = readOfficeArtShapes(path);
        const OfficeArtShape* box = nullptr;
        for (const OfficeArtShape& s : shapes)
            if (s.name == QStringLiteral("Text Box 8"))
                box = &s;
        QVERIFY(box);
        QCOMPARE(box->left, 8985);
        QCOMPARE(box->top, 11740);
        QCOMPARE(box->right - box->left, 2304);
        QCOMPARE(box->bottom - box->top, 2629);
    }

    void documentWithoutShapes()
    {
        QVERIFY(readOfficeArtShapes(dataFile(QStringLiteral("plain.doc"))).isEmpty());
    }

    // Layouts built by hand.
    void nameAfterOtherComplexProperties()
    {
        const QByteArray shape = shapeContainer(
            1026, {{0x0004, {}}, {0x0145, QByteArray(10, 'v')}, {0x0380, utf16z(QStringLiteral("Text Box 8"))},
                   {0x0381, utf16z(QStringLiteral("description"))}});
        const QVector<OfficeArtShape> shapes = parseMain(build({{1026, 8985, 11740, 11289, 14369}}, drawing(0, shape)));
        QCOMPARE(shapes.size(), 1);
        QCOMPARE(shapes[0].name, QStringLiteral("Text Box 8"));
        QCOMPARE(shapes[0].shapeId, 1026u);
        QCOMPARE(shapes[0].bottom, 14369);
    }

    void namesInNestedGroupsAndSecondaryTables()
    {
        const QByteArray group = record(0xF, 0, 0xF003, named(1030, QStringLiteral("Inner")));
        const QByteArray secondary = shapeContainer(1031, {{0x0380, utf16z(QStringLiteral("Ünïcödé"))}}, 0xF121);
        const QVector<OfficeArtShape> shapes =
            parseMain(build({{1030, 0, 0, 10, 10}, {1031, 5, 5, 20, 20}}, drawing(0, group + secondary)));
        QCOMPARE(shapes.size(), 2);
        QCOMPARE(shapes[0].name, QStringLiteral("Inner"));
        QCOMPARE(shapes[1].name, QStringLiteral("Ünïcödé"));
    }

    void headerDrawingNamesAreNotMainText()
    {
        const QByteArray drawings = drawing(1, named(2049, QStringLiteral("Header Box"))) +
                                    drawing(0, named(1025, QStringLiteral("Body Box")));
        const QVector<OfficeArtShape> shapes = parseMain(build({{1025, 1, 2, 3, 4}, {2049, 1, 2, 3, 4}}, drawings));
        QCOMPARE(shapes.size(), 2);
        QCOMPARE(shapes[0].name, QStringLiteral("Body Box"));
        QVERIFY(shapes[1].name.isEmpty());
    }

    void shapeWithoutName()
    {
        const QVector<OfficeArtShape> shapes =
            parseMain(build({{1025, 1, 2, 3, 4}}, drawing(0, shapeContainer(1025, {{0x0080, {}}}))));
        QCOMPARE(shapes.size(), 1);
        QVERIFY(shapes[0].name.isEmpty());
    }

    void whichTableStream()
    {
        const Built b = build({{1025, 1, 2, 3, 4}}, drawing(0, named(1025, QStringLiteral("One"))), true);
        QCOMPARE(parseOfficeArtShapes(b.word, {}, b.table).value(0).name, QStringLiteral("One"));
        // The flag says 1Table: data in 0Table must not be used.
        QVERIFY_THROWS_EXCEPTION(Failure, parseOfficeArtShapes(b.word, b.table, {}));
    }

    // Damaged input: a Failure, never a crash or a read past the data.
    void damagedStreams()
    {
        const Built good = build({{1025, 1, 2, 3, 4}}, drawing(0, named(1025, QStringLiteral("Box"))));
        QCOMPARE(parseMain(good).size(), 1);

        Built b = good;
        b.word[0] = 0;  // not a Word FIB
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(b));

        QVERIFY_THROWS_EXCEPTION(Failure, parseOfficeArtShapes(good.word.left(200), good.table, {}));
        QVERIFY_THROWS_EXCEPTION(Failure, parseOfficeArtShapes(good.word, good.table.left(good.table.size() - 3), {}));
        QVERIFY_THROWS_EXCEPTION(Failure, parseOfficeArtShapes({}, {}, {}));

        // Anchor table length pointing far past the end (and wrapping).
        b = good;
        set32(b.word, 154 + 40 * 8 + 4, 0xFFFFFFF2u);
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(b));
        b = good;
        set32(b.word, 154 + 40 * 8, 0xFFFFFFF0u);
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(b));

        // A record claiming more bytes than its container holds.
        const QByteArray shape = named(1025, QStringLiteral("Box"));
        QByteArray longRecord = shape;
        set32(longRecord, 4, 0x7FFFFFFF);
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(build({{1025, 1, 2, 3, 4}}, drawing(0, longRecord))));

        // A property table whose count or complex size overruns the record.
        QByteArray manyProperties = shapeContainer(1025, {{0x0380, utf16z(QStringLiteral("Box"))}});
        const int table = 8 + 16;  // container header, FSP record
        manyProperties[table] = char(0x33);
        manyProperties[table + 1] = char(0x33);
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(build({{1025, 1, 2, 3, 4}}, drawing(0, manyProperties))));
        QByteArray bigComplex = shapeContainer(1025, {{0x0380, utf16z(QStringLiteral("Box"))}});
        set32(bigComplex, table + 8 + 2, 0x10000);
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(build({{1025, 1, 2, 3, 4}}, drawing(0, bigComplex))));

        // Containers nested without end.
        QByteArray deep = named(1025, QStringLiteral("Box"));
        for (int i = 0; i < 100; ++i)
            deep = record(0xF, 0, 0xF003, deep);
        QVERIFY_THROWS_EXCEPTION(Failure, parseMain(build({{1025, 1, 2, 3, 4}}, drawing(0, deep))));
    }

    void damagedFiles()
    {
        const QByteArray file = readAll(dataFile(QStringLiteral("shapes.dot")));
        QVERIFY(file.size() > 4096);
        QVERIFY_THROWS_EXCEPTION(Failure, readOfficeArtShapesFromData(QByteArray(5000, 'g')));
        QVERIFY_THROWS_EXCEPTION(Failure, readOfficeArtShapesFromData({}));
        QVERIFY_THROWS_EXCEPTION(Failure, readOfficeArtShapes(dataFile(QStringLiteral("shapes.fodt"))));
        QVERIFY_THROWS_EXCEPTION(Failure, readOfficeArtShapes(QStringLiteral("/nonexistent/card.dot")));

        // Every cut and a sweep of overwritten bytes: each either reads or fails cleanly.
        int failed = 0;
        for (int size = 0; size < file.size(); size += 61) {
            try {
                readOfficeArtShapesFromData(file.left(size));
            } catch (const Failure&) {
                ++failed;
            }
        }
        QVERIFY(failed > 0);
        for (int at = 0; at < file.size(); at += 7) {
            QByteArray damaged = file;
            damaged[at] = char(~damaged[at]);
            damaged[(at * 31) % file.size()] = char(0xFF);
            try {
                readOfficeArtShapesFromData(damaged);
            } catch (const Failure&) {
            }
        }
    }
};

QTEST_GUILESS_MAIN(OfficeArtShapesTest)
#include "OfficeArtShapesTest.moc"
