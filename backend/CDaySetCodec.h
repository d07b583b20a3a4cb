#pragma once

#include "records/CItsmMarketTradeDateInfo.h"
#include "records/TradeDateMap.h"

#include <QByteArray>
#include <QVariant>

#include <string>

namespace IMC {

// How the store writes day records. A day row keeps the date key, the session flags and the valid
// flag; its date, description and trade-date texts are stored only where they differ from the usual
// ones (the key, "交易日 " and the key, the key), so a typical day costs no text beyond its key.
// A revision keeps a whole day set as one compressed blob.
class CDaySetCodec
{
public:
    static std::string usualDescription(const std::string& key);
    // A null text when text is the usual one, the text otherwise.
    static QVariant storedText(const std::string& text, const std::string& usual);
    // storedText for a description, without building the usual one.
    static QVariant storedDescription(const std::string& description, const std::string& key);
    static bool hasUsualTexts(const ttservice::CItsmMarketTradeDateInfo& day, const std::string& key);
    static bool isUsualDescription(const std::string& description, const std::string& key);
    static std::string loadedText(const QVariant& stored, const std::string& usual);

    static QByteArray encode(const TradeDateMap& days);
    // False, and days left empty, when blob is not a day set this codec wrote.
    static bool decode(const QByteArray& blob, TradeDateMap& days);
};

} // namespace IMC
