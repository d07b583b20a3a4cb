#include "CStoreOpener.h"

#include "services/CMemoryTradingDayBackend.h"

namespace IMC {

std::shared_ptr<ITradingDayBackend> CStoreOpener::open(const QString& address, QString* error)
{
    if (address == QLatin1String("memory:")) {
        auto backend = std::make_shared<CMemoryTradingDayBackend>();
        backend->seedReferenceData();
        return backend;
    }
    *error = QStringLiteral("不支持的存储地址: %1").arg(address);
    return nullptr;
}

} // namespace IMC
