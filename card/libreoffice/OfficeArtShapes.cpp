// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

// glib headers come before Qt's, whose keyword macros clash with glib names.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include "OfficeArtShapes.h"

#include "ErrorTrap.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <mutex>

namespace {

// Streams larger than this are not plausible for a card and are refused
// rather than read into memory.
constexpr gsf_off_t kMaxStreamSize = 64 * 1024 * 1024;
// Nesting of OfficeArt containers allowed before the data counts as damaged.
constexpr int kMaxDepth = 32;

// What is damaged, named by the structures of the Word file format: for the
// support team, and left in English as a file library's own words would be.
struct Damaged {
    const char* what;
};

// A bounds-checked little-endian view of one stream.
class Bytes {
public:
    explicit Bytes(const QByteArray& data) : mData(reinterpret_cast<const uint8_t*>(data.constData())), mSize(size_t(data.size())) {}
    size_t size() const { return mSize; }
    bool holds(size_t offset, size_t length) const { return offset <= mSize && length <= mSize - offset; }
    uint8_t u8(size_t offset, const char* what) const
    {
        need(offset, 1, what);
        return mData[offset];
    }
    uint16_t u16(size_t offset, const char* what) const
    {
        need(offset, 2, what);
        return uint16_t(mData[offset] | (mData[offset + 1] << 8));
    }
    uint32_t u32(size_t offset, const char* what) const
    {
        need(offset, 4, what);
        return uint32_t(mData[offset]) | (uint32_t(mData[offset + 1]) << 8) | (uint32_t(mData[offset + 2]) << 16) |
               (uint32_t(mData[offset + 3]) << 24);
    }
    int32_t i32(size_t offset, const char* what) const { return int32_t(u32(offset, what)); }
    void need(size_t offset, size_t length, const char* what) const
    {
        if (!holds(offset, length))
            throw Damaged{what};
    }

private:
    const uint8_t* mData;
    size_t mSize;
};

struct RecordHeader {
    uint16_t version;   // 4 bits; 0xF marks a container
    uint16_t instance;  // 12 bits
    uint16_t type;
    uint32_t length;
    size_t body;  // offset of the record's body
};

// Reads the record header at `offset`; the body must lie inside [.., end).
RecordHeader readRecord(const Bytes& bytes, size_t offset, size_t end)
{
    const uint16_t verInst = bytes.u16(offset, "OfficeArt record header");
    RecordHeader header{uint16_t(verInst & 0x0F), uint16_t(verInst >> 4), bytes.u16(offset + 2, "OfficeArt record type"),
                        bytes.u32(offset + 4, "OfficeArt record length"), offset + 8};
    if (header.body > end || header.length > end - header.body)
        throw Damaged{"OfficeArt record overruns its container"};
    return header;
}

// The name property (0x0380) of one property table, or an empty string.
QString nameFromPropertyTable(const Bytes& bytes, const RecordHeader& table)
{
    const size_t count = table.instance;
    const size_t end = table.body + table.length;
    if (count * 6 > table.length)
        throw Damaged{"OfficeArt property table overruns its record"};
    size_t complex = table.body + count * 6;  // complex data follow the fixed entries in order
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = table.body + i * 6;
        const uint16_t id = bytes.u16(entry, "OfficeArt property id");
        const uint32_t value = bytes.u32(entry + 2, "OfficeArt property value");
        const bool isComplex = id & 0x8000;
        const uint16_t number = id & 0x3FFF;
        if (!isComplex)
            continue;
        if (value > end - complex)
            throw Damaged{"OfficeArt complex property overruns its record"};
        if (number == 0x0380) {
            QString name;
            for (size_t at = complex; at + 1 < complex + value; at += 2) {
                const char16_t unit = bytes.u16(at, "shape name");
                if (unit == 0)
                    break;
                name.append(QChar(unit));
            }
            return name;
        }
        complex += value;
    }
    return {};
}

// Collects shape id -> name from every shape container below [begin, end).
void collectNames(const Bytes& bytes, size_t begin, size_t end, int depth, QHash<uint32_t, QString>& names)
{
    if (depth > kMaxDepth)
        throw Damaged{"OfficeArt containers nested too deeply"};
    uint32_t shapeId = 0;
    bool haveShape = false;
    QString name;
    for (size_t at = begin; at < end;) {
        const RecordHeader record = readRecord(bytes, at, end);
        if (record.type == 0xF00A) {  // FSP: shape id first
            if (record.length < 4)
                throw Damaged{"shape record too short"};
            shapeId = bytes.u32(record.body, "shape id");
            haveShape = true;
        } else if (record.type == 0xF00B || record.type == 0xF121 || record.type == 0xF122) {
            const QString found = nameFromPropertyTable(bytes, record);
            if (!found.isEmpty())
                name = found;
        } else if (record.version == 0x0F) {
            collectNames(bytes, record.body, record.body + record.length, depth + 1, names);
        }
        at = record.body + record.length;
    }
    if (haveShape && !name.isEmpty())
        names.insert(shapeId, name);
}

// Shape names of the main-text drawing in the OfficeArt content.
QHash<uint32_t, QString> mainTextNames(const Bytes& table, size_t fc, size_t lcb)
{
    QHash<uint32_t, QString> names;
    table.need(fc, lcb, "OfficeArt content outside the table stream");
    const size_t end = fc + lcb;
    const RecordHeader group = readRecord(table, fc, end);
    if (group.type != 0xF000)
        throw Damaged{"OfficeArt drawing group missing"};
    for (size_t at = group.body + group.length; at < end;) {
        const uint8_t label = table.u8(at, "drawing label");
        const RecordHeader drawing = readRecord(table, at + 1, end);
        if (drawing.type != 0xF002)
            throw Damaged{"OfficeArt drawing container missing"};
        if (label == 0)
            collectNames(table, drawing.body, drawing.body + drawing.length, 1, names);
        at = drawing.body + drawing.length;
    }
    return names;
}

QVector<OfficeArtShape> parse(const Bytes& word, const QByteArray& table0, const QByteArray& table1)
{
    if (word.u16(0, "file information block") != 0xA5EC)
        throw Damaged{"not a Word document"};
    const bool useTable1 = word.u16(0x0A, "file information block") & 0x0200;
    const QByteArray& tableData = useTable1 ? table1 : table0;
    const Bytes table(tableData);

    // FibBase, then three counted arrays; the (fc, lcb) pairs follow the last count.
    size_t at = 32;
    at += 2 + size_t(word.u16(at, "file information block")) * 2;
    at += 2 + size_t(word.u16(at, "file information block")) * 4;
    const size_t pairs = word.u16(at, "file information block");
    at += 2;
    if (pairs <= 50)
        throw Damaged{"file information block too short"};
    const uint32_t spaFc = word.u32(at + 40 * 8, "file information block");
    const uint32_t spaLcb = word.u32(at + 40 * 8 + 4, "file information block");
    const uint32_t artFc = word.u32(at + 50 * 8, "file information block");
    const uint32_t artLcb = word.u32(at + 50 * 8 + 4, "file information block");

    QVector<OfficeArtShape> shapes;
    if (spaLcb == 0)
        return shapes;
    // n + 1 character positions, then n records of 26 bytes.
    if (spaLcb < 4 || (spaLcb - 4) % 30 != 0)
        throw Damaged{"shape anchor table has an odd size"};
    table.need(spaFc, spaLcb, "shape anchor table outside the table stream");
    const size_t count = (spaLcb - 4) / 30;
    const size_t records = spaFc + (count + 1) * 4;
    const QHash<uint32_t, QString> names = artLcb ? mainTextNames(table, artFc, artLcb) : QHash<uint32_t, QString>();
    for (size_t i = 0; i < count; ++i) {
        const size_t record = records + i * 26;
        OfficeArtShape shape;
        shape.shapeId = table.u32(record, "shape anchor");
        shape.left = table.i32(record + 4, "shape anchor");
        shape.top = table.i32(record + 8, "shape anchor");
        shape.right = table.i32(record + 12, "shape anchor");
        shape.bottom = table.i32(record + 16, "shape anchor");
        shape.name = names.value(shape.shapeId);
        shapes.append(shape);
    }
    return shapes;
}

// Owns one GObject reference.
template <class T>
struct GsfRef {
    T* p = nullptr;
    ~GsfRef()
    {
        if (p)
            g_object_unref(p);
    }
};

QByteArray readStream(GsfInfile* file, const char* name)
{
    GsfRef<GsfInput> stream{gsf_infile_child_by_name(file, name)};
    if (!stream.p)
        return {};
    const gsf_off_t size = gsf_input_size(stream.p);
    if (size < 0 || size > kMaxStreamSize)
        throw Damaged{"stream too large"};
    QByteArray data(int(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.p, size_t(size), reinterpret_cast<guint8*>(data.data())))
        throw Damaged{"stream cannot be read"};
    return data;
}

QVector<OfficeArtShape> readContainer(GsfInput* input, const QString& label)
{
    GError* error = nullptr;
    GsfRef<GsfInfile> file{gsf_infile_msole_new(input, &error)};
    if (!file.p) {
        const QString reason = error ? QString::fromUtf8(error->message) : QString();
        if (error)
            g_error_free(error);
        throw Failure(QCoreApplication::translate("OfficeArtShapes", "%1 is not a Word 97-2003 document%2")
                          .arg(label, reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason)));
    }
    try {
        const QByteArray word = readStream(file.p, "WordDocument");
        if (word.isEmpty())
            throw Damaged{"no WordDocument stream"};
        return parse(Bytes(word), readStream(file.p, "0Table"), readStream(file.p, "1Table"));
    } catch (const Damaged& damaged) {
        throw Failure(QCoreApplication::translate("OfficeArtShapes", "The shapes of %1 cannot be read: %2")
            .arg(label, QString::fromLatin1(damaged.what)));
    }
}

void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // Damaged files are expected input here; their warnings would only flood the log.
        for (const char* domain : {"libgsf", "libgsf:msole"})
            g_log_set_handler(domain, GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE), quiet, nullptr);
    });
}

}  // namespace

QVector<OfficeArtShape> parseOfficeArtShapes(const QByteArray& wordDocument, const QByteArray& table0,
                                             const QByteArray& table1)
{
    try {
        return parse(Bytes(wordDocument), table0, table1);
    } catch (const Damaged& damaged) {
        throw Failure(QCoreApplication::translate("OfficeArtShapes", "The shapes of the document cannot be read: %1")
            .arg(QString::fromLatin1(damaged.what)));
    }
}

QVector<OfficeArtShape> readOfficeArtShapes(const QString& path)
{
    initGsf();
    GError* error = nullptr;
    const QByteArray local = path.toLocal8Bit();
    GsfRef<GsfInput> input{gsf_input_stdio_new(local.constData(), &error)};
    if (!input.p) {
        const QString reason = error ? QString::fromUtf8(error->message) : QString();
        if (error)
            g_error_free(error);
        throw Failure(QCoreApplication::translate("OfficeArtShapes", "The document %1 cannot be read: %2")
            .arg(path, reason));
    }
    return readContainer(input.p, path);
}

QVector<OfficeArtShape> readOfficeArtShapesFromData(const QByteArray& file)
{
    initGsf();
    GsfRef<GsfInput> input{
        gsf_input_memory_new(reinterpret_cast<const guint8*>(file.constData()), file.size(), FALSE)};
    if (!input.p)
        throw Failure(QCoreApplication::translate("OfficeArtShapes", "The document cannot be read"));
    return readContainer(input.p, QCoreApplication::translate("OfficeArtShapes", "The document"));
}
