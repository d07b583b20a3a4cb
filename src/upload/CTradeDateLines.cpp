#include "upload/CTradeDateLines.h"

#include <QByteArray>

#include <utility>

namespace IMC {
namespace {

// Rows of dates and flags are ASCII, which goes over as it is, sparing a conversion's allocation per row.
// A row is checked whole before it is copied, so that the copy needs no test per character.
void appendUtf8(std::string& text, const QString& row)
{
    const ushort* units = row.utf16();
    const std::size_t size = static_cast<std::size_t>(row.size());
    ushort allBits = 0;
    for (std::size_t i = 0; i < size; ++i) {
        allBits |= units[i];
    }
    if (allBits >= 0x80) {
        text += row.toStdString();
        return;
    }
    const std::size_t start = text.size();
    text.resize(start + size);
    char* out = &text[start];
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<char>(units[i]);
    }
}

} // namespace

void CTradeDateLines::setRows(const QStringList& rows, QChar separator)
{
    isText = false;
    text.clear();
    rowEnds.clear();
    rowEnds.reserve(static_cast<std::size_t>(rows.size()));
    std::size_t units = 0;
    for (const QString& row : rows) {
        units += static_cast<std::size_t>(row.size());
    }
    text.reserve(units);
    for (const QString& row : rows) {
        appendUtf8(text, row);
        rowEnds.push_back(text.size());
    }
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
