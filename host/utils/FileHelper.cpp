#include "utils/FileHelper.h"

#include "utils/GbkConversion.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <vector>

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

namespace {

// Appends data to out with every CR LF pair turned into LF, copying the runs in between as blocks.
void appendNormalized(const char* data, std::size_t size, std::string& out)
{
    const char* const end = data + size;
    const char* p = data;
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
        if (!cr || cr + 1 == end) {
            out.append(p, end);
            return;
        }
        out.append(p, cr);
        if (cr[1] != '\n') {
            out += '\r';
        }
        p = cr + 1;
    }
}

} // namespace

void FileHelper::normalizeLineBreaks(std::string& text)
{
    if (text.find('\r') == std::string::npos) {
        return;
    }
    std::string normalized;
    normalized.reserve(text.size());
    appendNormalized(text.data(), text.size(), normalized);
    text.swap(normalized);
}

bool FileHelper::open(std::string path, std::string& content)
{
    content.clear();
    QFile file(localPath(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxFileSize) {
        return false;
    }
    content.reserve(static_cast<std::size_t>(file.size()));
    // Read in pieces and normalize on the way; a CR that ends a piece waits for the next one, which
    // may start with its LF. The file is read to its end even when its size was wrong, never past the cap.
    std::vector<char> buffer(256 * 1024);
    std::size_t carried = 0;
    while (true) {
        const qint64 got = file.read(buffer.data() + carried, static_cast<qint64>(buffer.size() - carried));
        if (got < 0) {
            content.clear();
            return false;
        }
        const std::size_t filled = carried + static_cast<std::size_t>(got);
        const bool last = got == 0;
        carried = !last && filled > 0 && buffer[filled - 1] == '\r' ? 1 : 0;
        appendNormalized(buffer.data(), filled - carried, content);
        if (content.size() > static_cast<std::size_t>(maxFileSize)) {
            content.clear();
            return false;
        }
        if (last) {
            return true;
        }
        buffer[0] = '\r';
    }
}

} // namespace utils
