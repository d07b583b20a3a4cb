#include "services/ITradingDayBackend.h"

namespace IMC {

ITradingDayBackend::~ITradingDayBackend() = default;

} // namespace IMC
