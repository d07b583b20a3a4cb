#include "upload/CTradeDateLines.h"

#include <QByteArray>

#include <utility>

namespace IMC {

void CTradeDateLines::setRows(const QStringList& newRows, QChar separator)
{
    isText = false;
    text.clear();
    rows = newRows;
    fieldSeparator = separator;
}

void CTradeDateLines::setText(std::string utf8Content, QChar separator)
{
    isText = true;
    rows.clear();
    text = std::move(utf8Content);
    fieldSeparator = separator;
}

bool CTradeDateLines::forEachLine(const Visitor& visit) const
{
    if (!isText) {
        for (int i = 0; i < rows.size(); ++i) {
            const QByteArray row = rows.at(i).toUtf8();
            if (!visit(i, std::string_view(row.constData(), static_cast<std::size_t>(row.size())))) {
                return false;
            }
        }
        return true;
    }
    const std::string_view all(text);
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
