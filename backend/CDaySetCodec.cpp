#include "CDaySetCodec.h"

#include "records/CItsmMarketTradeDateInfo.h"

#include <boost/make_shared.hpp>

#include <QDataStream>

namespace IMC {

namespace {
const quint8 formatVersion = 1;
// First byte of a blob whose remaining bytes are a zlib-compressed day set: dates in sequence compress
// to a fraction, which keeps a revision of a 30-year set to a few pages.
const char compressedMark = 2;
const std::string descriptionPrefix = "交易日 ";

QByteArray bytesOf(const std::string& text)
{
    return QByteArray(text.data(), static_cast<int>(text.size()));
}

std::string textOf(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

enum UnusualText : quint8
{
    UnusualDate = 1,
    UnusualDescription = 2,
    UnusualTradeDate = 4
};

quint8 unusualTextsOf(const ttservice::CItsmMarketTradeDateInfo& day, const std::string& key)
{
    quint8 mask = 0;
    if (day.date != key) {
        mask |= UnusualDate;
    }
    if (!CDaySetCodec::isUsualDescription(day.description, key)) {
        mask |= UnusualDescription;
    }
    if (day.tradeDate != key) {
        mask |= UnusualTradeDate;
    }
    return mask;
}

std::string readText(QDataStream& in, bool stored, const std::string& usual)
{
    if (!stored) {
        return usual;
    }
    QByteArray bytes;
    in >> bytes;
    return textOf(bytes);
}
} // namespace

std::string CDaySetCodec::usualDescription(const std::string& key)
{
    return descriptionPrefix + key;
}

QVariant CDaySetCodec::storedText(const std::string& text, const std::string& usual)
{
    if (text == usual) {
        return QVariant(QVariant::String);
    }
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

QVariant CDaySetCodec::storedDescription(const std::string& description, const std::string& key)
{
    if (isUsualDescription(description, key)) {
        return QVariant(QVariant::String);
    }
    return QString::fromUtf8(description.data(), static_cast<int>(description.size()));
}

bool CDaySetCodec::hasUsualTexts(const ttservice::CItsmMarketTradeDateInfo& day, const std::string& key)
{
    return day.date == key && day.tradeDate == key && isUsualDescription(day.description, key);
}

bool CDaySetCodec::isUsualDescription(const std::string& description, const std::string& key)
{
    return description.size() == descriptionPrefix.size() + key.size() &&
           description.compare(0, descriptionPrefix.size(), descriptionPrefix) == 0 &&
           description.compare(descriptionPrefix.size(), key.size(), key) == 0;
}

std::string CDaySetCodec::loadedText(const QVariant& stored, const std::string& usual)
{
    return stored.isNull() ? usual : stored.toString().toStdString();
}

QByteArray CDaySetCodec::encode(const TradeDateMap& days)
{
    QByteArray blob;
    QDataStream out(&blob, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << formatVersion << static_cast<quint32>(days.size());
    for (const auto& entry : days) {
        const std::string& key = entry.first;
        const ttservice::CItsmMarketTradeDateInfo& day = *entry.second;
        const quint8 unusual = unusualTextsOf(day, key);
        out << bytesOf(key) << static_cast<qint32>(day.sessionFlags) << day.valid << unusual;
        if (unusual & UnusualDate) {
            out << bytesOf(day.date);
        }
        if (unusual & UnusualDescription) {
            out << bytesOf(day.description);
        }
        if (unusual & UnusualTradeDate) {
            out << bytesOf(day.tradeDate);
        }
    }
    return QByteArray(1, compressedMark) + qCompress(blob, 1);
}

bool CDaySetCodec::decode(const QByteArray& blob, TradeDateMap& days)
{
    days.clear();
    if (blob.startsWith(compressedMark)) {
        const QByteArray expanded = qUncompress(blob.mid(1));
        return !expanded.isEmpty() && decode(expanded, days);
    }
    QDataStream in(blob);
    in.setVersion(QDataStream::Qt_5_15);
    quint8 version = 0;
    quint32 count = 0;
    in >> version >> count;
    if (in.status() != QDataStream::Ok || version != formatVersion) {
        return false;
    }
    for (quint32 i = 0; i < count; ++i) {
        QByteArray key;
        qint32 sessionFlags = 0;
        bool valid = false;
        quint8 unusual = 0;
        in >> key >> sessionFlags >> valid >> unusual;
        const std::string keyText = textOf(key);
        auto day = boost::make_shared<ttservice::CItsmMarketTradeDateInfo>();
        day->sessionFlags = sessionFlags;
        day->valid = valid;
        day->date = readText(in, unusual & UnusualDate, keyText);
        day->description = readText(in, unusual & UnusualDescription, usualDescription(keyText));
        day->tradeDate = readText(in, unusual & UnusualTradeDate, keyText);
        if (in.status() != QDataStream::Ok) {
            days.clear();
            return false;
        }
        days[keyText] = day;
    }
    return true;
}

} // namespace IMC
