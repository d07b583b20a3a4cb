#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace IMC {

// The lines read from a trading-day file and the separator of their fields, handed out as UTF-8
// bytes. Lines are kept as one UTF-8 text and walked line by line, which spares a string per line and a
// UTF-16 copy of the whole file; the separators and flags looked for are ASCII, which never occurs inside
// a multi-byte UTF-8 character. A text file's lines end at its line feeds; a workbook's rows, whose cells
// may hold line feeds themselves, are placed by where each one ends.
class CTradeDateLines
{
public:
    // Receives each line with its index (0 for the header); returning false stops the walk.
    using Visitor = std::function<bool(int index, std::string_view line)>;

    // Takes a workbook's rows, one line each, converted to UTF-8 once.
    void setRows(const QStringList& rows, QChar fieldSeparator);

    // Takes UTF-8 text whose lines end at every line feed; empty lines count, so a final line feed
    // makes an empty last line.
    void setText(std::string utf8Content, QChar fieldSeparator);

    QChar separator() const { return fieldSeparator; }

    // How many lines there are when that is known without walking them (a workbook's rows), else 0.
    std::size_t knownLineCount() const { return isText ? 0 : rowEnds.size(); }

    // Walks the lines in order; false when the visitor stopped the walk.
    bool forEachLine(const Visitor& visit) const;

    QStringList toStringList() const;

private:
    bool isText = false;
    std::string text;
    std::vector<std::size_t> rowEnds; // a workbook's only
    QChar fieldSeparator = QLatin1Char(',');
};

} // namespace IMC
