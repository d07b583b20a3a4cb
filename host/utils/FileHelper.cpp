#include "utils/FileHelper.h"

#include "utils/GbkConversion.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace utils {
namespace {

// The host hands paths over in GBK bytes because that is what its file system takes. Linux file
// systems take UTF-8, so a path that is not valid UTF-8, or that names no file as it stands, is
// decoded from GBK before it is opened.
QString localPath(const std::string& path)
{
    const QString asUtf8 = QString::fromStdString(path);
    if (isValidUtf8(path) && QFileInfo::exists(asUtf8)) {
        return asUtf8;
    }
    std::string decoded = path;
    return safeGbk2Utf8(decoded) ? QString::fromStdString(decoded) : asUtf8;
}

} // namespace

void FileHelper::normalizeLineBreaks(std::string& text)
{
    auto out = text.begin();
    for (auto in = text.begin(); in != text.end(); ++in) {
        if (*in == '\r' && in + 1 != text.end() && *(in + 1) == '\n') {
            continue;
        }
        *out++ = *in;
    }
    text.erase(out, text.end());
}

bool FileHelper::open(std::string path, std::string& content)
{
    content.clear();
    QFile file(localPath(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileSize) {
        return false;
    }
    content.resize(static_cast<std::size_t>(file.size()));
    std::size_t total = 0;
    // Read until the end even when the size was wrong (a file growing meanwhile, a pipe), never past the cap.
    while (true) {
        if (total == content.size()) {
            if (total > static_cast<std::size_t>(maxFileSize)) {
                content.clear();
                return false;
            }
            content.resize(std::min<std::size_t>(std::max<std::size_t>(total * 2, 65536), maxFileSize + 1));
        }
        const qint64 got = file.read(&content[total], static_cast<qint64>(content.size() - total));
        if (got < 0) {
            content.clear();
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    content.resize(total);
    normalizeLineBreaks(content);
    return true;
}

} // namespace utils
