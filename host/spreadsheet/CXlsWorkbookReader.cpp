#include "spreadsheet/CXlsWorkbookReader.h"

#include "spreadsheet/CBiffStringCursor.h"
#include "spreadsheet/CCellTextFormatter.h"
#include "spreadsheet/CCompoundFile.h"
#include "spreadsheet/CFreeXlWorkbookReader.h"

#include <QFile>
#include <QHash>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace XP {
namespace {

enum Record : std::uint16_t
{
    Formula = 0x0006,
    EndOfFile = 0x000A,
    FilePass = 0x002F,
    DateMode = 0x0022,
    Continue = 0x003C,
    BoundSheet = 0x0085,
    MulRk = 0x00BD,
    RString = 0x00D6,
    ExtendedFormat = 0x00E0,
    SharedStrings = 0x00FC,
    LabelSst = 0x00FD,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Rk = 0x027E,
    Format = 0x041E,
    BeginOfFile = 0x0809,
};

constexpr std::uint16_t biff8 = 0x0600;

struct RecordView
{
    std::uint16_t type;
    const char* data;
    int size;
};

std::uint16_t u16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}

std::uint32_t u32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

double f64(const char* p)
{
    const quint64 bits = qFromLittleEndian<quint64>(p);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double rkValue(std::uint32_t rk)
{
    double value = 0;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const quint64 bits = static_cast<quint64>(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100.0 : value;
}

std::string errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#ERR";
    }
}

// Walks the records of a BIFF stream from an offset.
class CRecordWalker
{
public:
    CRecordWalker(const QByteArray& stream, std::uint32_t offset)
        : stream(stream)
        , offset(offset)
    {}

    // False at the end of the stream; bad is set when a record runs past it.
    bool next(RecordView& record)
    {
        if (offset + 4 > static_cast<std::uint64_t>(stream.size())) {
            return false;
        }
        const char* header = stream.constData() + offset;
        const std::uint16_t size = u16(header + 2);
        if (offset + 4 + size > static_cast<std::uint64_t>(stream.size())) {
            bad = true;
            return false;
        }
        record = RecordView{u16(header), header + 4, size};
        offset += 4 + size;
        return true;
    }

    bool peekType(std::uint16_t& type) const
    {
        if (offset + 4 > static_cast<std::uint64_t>(stream.size())) {
            return false;
        }
        type = u16(stream.constData() + offset);
        return true;
    }

    bool bad = false;

private:
    const QByteArray& stream;
    std::uint64_t offset;
};

class CBiff8Book
{
public:
    explicit CBiff8Book(ISheetCellSink& cells)
        : cells(cells)
    {}

    CXlsWorkbookReader::Outcome read(const QByteArray& stream);

private:
    bool readGlobals(const QByteArray& stream);
    bool readSheet(const QByteArray& stream);
    bool readCell(const RecordView& record, CRecordWalker& walker);
    bool readSharedStrings(const RecordView& first, CRecordWalker& walker);
    bool setNumber(int row, int column, std::uint16_t format, double value);
    bool isDateFormat(std::uint16_t formatIndex) const;

    ISheetCellSink& cells;
    bool encrypted = false;
    bool date1904 = false;
    bool haveSheet = false;
    std::uint32_t sheetOffset = 0;
    std::vector<std::uint16_t> formatOfStyle;
    QHash<int, QString> formatCodes;
    std::vector<QString> strings;
};

CXlsWorkbookReader::Outcome CBiff8Book::read(const QByteArray& stream)
{
    if (stream.size() < 8 || u16(stream.constData()) != BeginOfFile) {
        return CXlsWorkbookReader::Outcome::Unreadable;
    }
    if (u16(stream.constData() + 4) != biff8) {
        return CXlsWorkbookReader::Outcome::OlderFormat;
    }
    if (!readGlobals(stream) || encrypted || !haveSheet || !readSheet(stream)) {
        return CXlsWorkbookReader::Outcome::Unreadable;
    }
    return CXlsWorkbookReader::Outcome::Read;
}

bool CBiff8Book::readGlobals(const QByteArray& stream)
{
    CRecordWalker walker(stream, 0);
    RecordView record{};
    while (walker.next(record)) {
        switch (record.type) {
        case EndOfFile:
            return true;
        case FilePass:
            encrypted = true;
            return true;
        case DateMode:
            date1904 = record.size >= 2 && u16(record.data) == 1;
            break;
        case ExtendedFormat:
            if (record.size < 4) {
                return false;
            }
            formatOfStyle.push_back(u16(record.data + 2));
            break;
        case Format: {
            if (record.size < 2) {
                return false;
            }
            const std::vector<QByteArray> pieces{QByteArray::fromRawData(record.data + 2, record.size - 2)};
            CBiffStringCursor cursor(pieces);
            QString code;
            if (!cursor.readString(code)) {
                return false;
            }
            formatCodes.insert(u16(record.data), code);
            break;
        }
        case BoundSheet:
            if (record.size < 6) {
                return false;
            }
            if (!haveSheet) {
                haveSheet = true;
                sheetOffset = u32(record.data);
            }
            break;
        case SharedStrings:
            if (!readSharedStrings(record, walker)) {
                return false;
            }
            break;
        default:
            break;
        }
    }
    return false; // the globals never ended
}

bool CBiff8Book::readSharedStrings(const RecordView& first, CRecordWalker& walker)
{
    if (first.size < 8) {
        return false;
    }
    std::vector<QByteArray> pieces{QByteArray::fromRawData(first.data + 8, first.size - 8)};
    std::uint16_t type = 0;
    RecordView record{};
    while (walker.peekType(type) && type == Continue && walker.next(record)) {
        pieces.push_back(QByteArray::fromRawData(record.data, record.size));
    }
    if (walker.bad) {
        return false;
    }
    // The declared count may lie; the strings end where the data ends.
    const std::uint32_t declared = u32(first.data + 4);
    CBiffStringCursor cursor(pieces);
    strings.reserve(std::min<std::uint32_t>(declared, 1U << 20));
    for (std::uint32_t i = 0; i < declared && !cursor.atEnd(); ++i) {
        QString text;
        if (!cursor.readString(text)) {
            return false;
        }
        strings.push_back(text);
    }
    return true;
}

bool CBiff8Book::readSheet(const QByteArray& stream)
{
    CRecordWalker walker(stream, sheetOffset);
    RecordView record{};
    if (!walker.next(record) || record.type != BeginOfFile) {
        return false;
    }
    while (walker.next(record)) {
        if (record.type == EndOfFile) {
            return true;
        }
        if (!readCell(record, walker)) {
            return false;
        }
    }
    return !walker.bad;
}

bool CBiff8Book::isDateFormat(std::uint16_t formatIndex) const
{
    const auto code = formatCodes.constFind(formatIndex);
    return code != formatCodes.constEnd() ? CCellTextFormatter::isDateFormatCode(*code)
                                          : CCellTextFormatter::isDateFormatId(formatIndex);
}

bool CBiff8Book::setNumber(int row, int column, std::uint16_t style, double value)
{
    if (style < formatOfStyle.size() && isDateFormat(formatOfStyle[style])) {
        bool ok = false;
        const std::string date = CCellTextFormatter::dateText(value, date1904, &ok);
        if (ok) {
            return cells.setCell(row, column, date);
        }
    }
    return cells.setCell(row, column, CCellTextFormatter::numberText(value));
}

// Places one cell record; records that are not cells are passed over. Rows and columns count from 1.
bool CBiff8Book::readCell(const RecordView& record, CRecordWalker& walker)
{
    const char* d = record.data;
    const auto needs = [&record](int size) { return record.size >= size; };
    switch (record.type) {
    case Number:
        return needs(14) && setNumber(u16(d) + 1, u16(d + 2) + 1, u16(d + 4), f64(d + 6));
    case Rk:
        return needs(10) && setNumber(u16(d) + 1, u16(d + 2) + 1, u16(d + 4), rkValue(u32(d + 6)));
    case MulRk: {
        if (!needs(6)) {
            return false;
        }
        const int row = u16(d) + 1;
        const int firstColumn = u16(d + 2) + 1;
        const int count = (record.size - 6) / 6;
        for (int i = 0; i < count; ++i) {
            const char* item = d + 4 + i * 6;
            if (!setNumber(row, firstColumn + i, u16(item), rkValue(u32(item + 2)))) {
                return false;
            }
        }
        return true;
    }
    case LabelSst: {
        if (!needs(10)) {
            return false;
        }
        const std::uint32_t index = u32(d + 6);
        return index < strings.size() && cells.setCell(u16(d) + 1, u16(d + 2) + 1, strings[index]);
    }
    case Label:
    case RString: {
        if (!needs(6)) {
            return false;
        }
        const std::vector<QByteArray> pieces{QByteArray::fromRawData(d + 6, record.size - 6)};
        CBiffStringCursor cursor(pieces);
        QString text;
        return cursor.readString(text) && cells.setCell(u16(d) + 1, u16(d + 2) + 1, text);
    }
    case BoolErr: {
        if (!needs(8)) {
            return false;
        }
        const std::uint8_t value = static_cast<std::uint8_t>(d[6]);
        const std::string text = d[7] ? errorText(value) : CCellTextFormatter::booleanText(value != 0);
        return cells.setCell(u16(d) + 1, u16(d + 2) + 1, text);
    }
    case Formula: {
        if (!needs(20)) {
            return false;
        }
        const int row = u16(d) + 1;
        const int column = u16(d + 2) + 1;
        if (u16(d + 12) != 0xFFFF) {
            return setNumber(row, column, u16(d + 4), f64(d + 6));
        }
        const std::uint8_t kind = static_cast<std::uint8_t>(d[6]);
        if (kind == 1) {
            return cells.setCell(row, column, CCellTextFormatter::booleanText(d[8] != 0));
        }
        if (kind == 2) {
            return cells.setCell(row, column, errorText(static_cast<std::uint8_t>(d[8])));
        }
        std::uint16_t type = 0;
        RecordView text{};
        if (kind == 0 && walker.peekType(type) && type == String && walker.next(text)) {
            const std::vector<QByteArray> pieces{QByteArray::fromRawData(text.data, text.size)};
            CBiffStringCursor cursor(pieces);
            QString value;
            return cursor.readString(value) && cells.setCell(row, column, value);
        }
        return !walker.bad;
    }
    default:
        return true;
    }
}

bool readFile(const QString& path, QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > CXlsWorkbookReader::maxFileSize) {
        return false;
    }
    data = file.read(CXlsWorkbookReader::maxFileSize + 1);
    return data.size() <= CXlsWorkbookReader::maxFileSize;
}

} // namespace

CXlsWorkbookReader::Outcome CXlsWorkbookReader::readBiff8(const QByteArray& file, ISheetCellSink& cells)
{
    CCompoundFile compound;
    if (!compound.open(file)) {
        return Outcome::Unreadable;
    }
    QByteArray stream;
    if (!compound.readStream(QStringLiteral("Workbook"), stream)) {
        return compound.hasStream(QStringLiteral("Book")) ? Outcome::OlderFormat : Outcome::Unreadable;
    }
    CBiff8Book book(cells);
    return book.read(stream);
}

bool CXlsWorkbookReader::read(const QString& path, ISheetCellSink& cells)
{
    QByteArray data;
    if (!readFile(path, data)) {
        return false;
    }
    switch (readBiff8(data, cells)) {
    case Outcome::Read:
        return true;
    case Outcome::OlderFormat:
        return CFreeXlWorkbookReader::read(path, cells);
    case Outcome::Unreadable:
        break;
    }
    return false;
}

} // namespace XP
