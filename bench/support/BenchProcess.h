#pragma once

#include <string>
#include <vector>

namespace tds::bench {

// Runs a program (arguments[0] is its path) to its end; the child's peak resident memory in KiB, or -1 when
// it did not start or did not exit with code 0.
long runToEnd(const std::vector<std::string>& arguments);

} // namespace tds::bench
