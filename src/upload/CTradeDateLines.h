#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringRef>

#include <functional>

namespace IMC {

// The lines read from a trading-day file and the separator of their fields. A text file is kept as one
// text and walked line by line, which spares a string (and a reference) per line on large files.
class CTradeDateLines
{
public:
    // Receives each line with its index (0 for the header); returning false stops the walk.
    using Visitor = std::function<bool(int index, const QStringRef& line)>;

    // Takes a workbook's rows, one line each.
    void setRows(const QStringList& rows, QChar fieldSeparator);

    // Takes a text whose lines end at every line feed; empty lines count, so a final line feed makes
    // an empty last line.
    void setText(const QString& content, QChar fieldSeparator);

    QChar separator() const { return fieldSeparator; }

    // Walks the lines in order; false when the visitor stopped the walk.
    bool forEachLine(const Visitor& visit) const;

    QStringList toStringList() const;

private:
    bool isText = false;
    QString text;
    QStringList rows;
    QChar fieldSeparator = QLatin1Char(',');
};

} // namespace IMC
