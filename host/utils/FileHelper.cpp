#include "utils/FileHelper.h"

#include "utils/GbkConversion.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

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
    // Mapped files are copied once, with their line breaks normalized on the way.
    if (uchar* mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr) {
        content.reserve(static_cast<std::size_t>(file.size()));
        appendNormalized(reinterpret_cast<const char*>(mapped), static_cast<std::size_t>(file.size()),
                         content);
        file.unmap(mapped);
        return true;
    }
    // Files that cannot be mapped (pipes, special files) are read until their end, never past the cap.
    char buffer[65536];
    std::string raw;
    while (true) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0 || raw.size() + static_cast<std::size_t>(std::max<qint64>(got, 0)) >
                           static_cast<std::size_t>(maxFileSize)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        raw.append(buffer, static_cast<std::size_t>(got));
    }
    content.reserve(raw.size());
    appendNormalized(raw.data(), raw.size(), content);
    return true;
}

} // namespace utils
