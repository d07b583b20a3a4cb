#include "upload/CTradeDateLines.h"

namespace IMC {

void CTradeDateLines::setRows(const QStringList& newRows, QChar separator)
{
    text.clear();
    rows = newRows;
    fieldSeparator = separator;
    refs.clear();
    refs.reserve(rows.size());
    for (const QString& row : rows) {
        refs.append(QStringRef(&row));
    }
}

void CTradeDateLines::setText(const QString& content, QChar separator)
{
    rows.clear();
    text = content;
    fieldSeparator = separator;
    refs = text.splitRef(QLatin1Char('\n'), Qt::KeepEmptyParts);
}

QStringList CTradeDateLines::toStringList() const
{
    QStringList list;
    list.reserve(refs.size());
    for (const QStringRef& line : refs) {
        list.append(line.toString());
    }
    return list;
}

} // namespace IMC
