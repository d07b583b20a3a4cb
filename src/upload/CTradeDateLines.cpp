#include "upload/CTradeDateLines.h"

#include <QByteArray>

#include <utility>

namespace IMC {
namespace {

// Writes row as UTF-8 at text[at], growing text when it is too short, and returns where the row ends. Rows of
// dates and flags are ASCII, which goes over unit by unit: a row is checked whole first, so that the copy
// needs no test per unit.
std::size_t putUtf8(std::string& text, std::size_t at, const QString& row)
{
    const ushort* units = row.utf16();
    const std::size_t size = static_cast<std::size_t>(row.size());
    ushort allBits = 0;
    for (std::size_t i = 0; i < size; ++i) {
        allBits |= units[i];
    }
    if (allBits >= 0x80) {
        const QByteArray utf8 = row.toUtf8();
        text.replace(at, std::string::npos, utf8.constData(), static_cast<std::size_t>(utf8.size()));
        return at + static_cast<std::size_t>(utf8.size());
    }
    if (text.size() < at + size) {
        text.resize(at + size);
    }
    char* out = &text[at];
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<char>(units[i]);
    }
    return at + size;
}

} // namespace

// The text is sized once for rows of ASCII, one byte per UTF-16 unit; rows of other text make it grow.
void CTradeDateLines::setRows(const QStringList& rows, QChar separator)
{
    isText = false;
    rowEnds.clear();
    rowEnds.reserve(static_cast<std::size_t>(rows.size()));
    std::size_t units = 0;
    for (const QString& row : rows) {
        units += static_cast<std::size_t>(row.size());
    }
    text.assign(units, '\0');
    std::size_t end = 0;
    for (const QString& row : rows) {
        end = putUtf8(text, end, row);
        rowEnds.push_back(end);
    }
    text.resize(end);
    fieldSeparator = separator;
}

void CTradeDateLines::setText(std::string utf8Content, QChar separator)
{
    isText = true;
    rowEnds.clear();
    text = std::move(utf8Content);
    fieldSeparator = separator;
}

bool CTradeDateLines::forEachLine(const Visitor& visit) const
{
    const std::string_view all(text);
    if (!isText) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < rowEnds.size(); ++i) {
            if (!visit(static_cast<int>(i), all.substr(start, rowEnds[i] - start))) {
                return false;
            }
            start = rowEnds[i];
        }
        return true;
    }
    std::size_t start = 0;
    for (int i = 0;; ++i) {
        const std::size_t feed = all.find('\n', start);
        if (!visit(i, all.substr(start,
                                 feed == std::string_view::npos ? std::string_view::npos : feed - start))) {
            return false;
        }
        if (feed == std::string_view::npos) {
            return true;
        }
        start = feed + 1;
    }
}

QStringList CTradeDateLines::toStringList() const
{
    QStringList list;
    forEachLine([&list](int, std::string_view line) {
        list.append(QString::fromUtf8(line.data(), static_cast<int>(line.size())));
        return true;
    });
    return list;
}

} // namespace IMC
