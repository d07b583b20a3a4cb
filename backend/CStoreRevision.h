#pragma once

#include <QDateTime>
#include <QString>

#include <string>

namespace IMC {

// One kept state of a market or an overseas exchange: what a save, delete or restore produced.
class CStoreRevision
{
public:
    long long id = 0;
    int marketType = 0;
    // "14" or "15" for market 3, empty otherwise.
    std::string platformParam;
    // Name, code and track of the exchange for market 4; empty and -1 otherwise.
    std::string exchangeName;
    std::string exchangeCode;
    int trackId = -1;
    // 1 save, 3 delete.
    int operation = 0;
    // The revision a restore brought back; 0 when this one is not a restore.
    long long restoredFrom = 0;
    std::string operatorName;
    QDateTime savedAt;
    int dayCount = 0;

    // "保存" or "删除", with "(恢复修订 <编号>)" after a restore.
    QString operationText() const;
};

} // namespace IMC
