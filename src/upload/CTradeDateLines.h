#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringRef>
#include <QVector>

namespace IMC {

// The lines read from a trading-day file and the separator of their fields. Text files keep their
// whole text and refer to its lines, which spares a string per line on large files.
class CTradeDateLines
{
public:
    CTradeDateLines() = default;
    CTradeDateLines(const CTradeDateLines&) = delete;
    CTradeDateLines& operator=(const CTradeDateLines&) = delete;

    // Takes a workbook's rows, one line each.
    void setRows(const QStringList& rows, QChar fieldSeparator);

    // Takes a text, split at every line feed with empty pieces kept.
    void setText(const QString& content, QChar fieldSeparator);

    const QVector<QStringRef>& lines() const { return refs; }
    QChar separator() const { return fieldSeparator; }
    QStringList toStringList() const;

private:
    QString text;
    QStringList rows;
    QVector<QStringRef> refs;
    QChar fieldSeparator = QLatin1Char(',');
};

} // namespace IMC
