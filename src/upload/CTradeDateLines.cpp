#include "upload/CTradeDateLines.h"

namespace IMC {

void CTradeDateLines::setRows(const QStringList& newRows, QChar separator)
{
    isText = false;
    text.clear();
    rows = newRows;
    fieldSeparator = separator;
}

void CTradeDateLines::setText(const QString& content, QChar separator)
{
    isText = true;
    rows.clear();
    text = content;
    fieldSeparator = separator;
}

bool CTradeDateLines::forEachLine(const Visitor& visit) const
{
    if (!isText) {
        for (int i = 0; i < rows.size(); ++i) {
            if (!visit(i, QStringRef(&rows.at(i)))) {
                return false;
            }
        }
        return true;
    }
    int start = 0;
    for (int i = 0;; ++i) {
        const int feed = text.indexOf(QLatin1Char('\n'), start);
        const int end = feed < 0 ? text.size() : feed;
        if (!visit(i, text.midRef(start, end - start))) {
            return false;
        }
        if (feed < 0) {
            return true;
        }
        start = feed + 1;
    }
}

QStringList CTradeDateLines::toStringList() const
{
    QStringList list;
    forEachLine([&list](int, const QStringRef& line) {
        list.append(line.toString());
        return true;
    });
    return list;
}

} // namespace IMC
