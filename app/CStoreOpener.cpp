#include "CStoreOpener.h"

#include "CSqlTradingDayBackend.h"
#include "CStoreException.h"

#include "services/CMemoryTradingDayBackend.h"
#include "utils/StringConversion.h"

#include <QDir>
#include <QFileInfo>

namespace IMC {

std::shared_ptr<ITradingDayBackend> CStoreOpener::open(const QString& address, QString* error)
{
    if (address == QLatin1String("memory:")) {
        auto backend = std::make_shared<CMemoryTradingDayBackend>();
        backend->seedReferenceData();
        return backend;
    }
    const CStoreAddress storeAddress = CStoreAddress::parse(address);
    if (!storeAddress.isValid()) {
        *error = storeAddress.errorText();
        return nullptr;
    }
    if (storeAddress.kind() == CStoreAddress::SqliteFile) {
        QDir().mkpath(QFileInfo(storeAddress.filePath()).absolutePath());
    }
    // Opened here once so that a database that is no store is refused before any window shows; the worker
    // thread opens its own connection at its first request. A server that cannot be reached now may be
    // back by then: until it is, the pages report it for each request.
    auto backend = std::make_shared<CSqlTradingDayBackend>(address);
    const utils::TTError opened = backend->open();
    if (!opened.isSuccess() && opened.code() != CStoreException::NoConnection) {
        *error = XP::sToQs(opened.errorMsg());
        return nullptr;
    }
    return backend;
}

} // namespace IMC
