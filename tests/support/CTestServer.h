#pragma once

#include <QString>

namespace tds {

// The throw-away PostgreSQL server a test runs against (scripts/pgcluster run DIR sets TDS_TEST_PG_CLUSTER
// and TDS_PGCLUSTER), for tests that stop and start it under the code they test.
class CTestServer
{
public:
    // Both variables are set: the test was started through scripts/pgcluster run.
    static bool isGiven();
    // Each waits until the server has stopped or accepts connections; false when scripts/pgcluster failed.
    static bool stop();
    static bool start();

private:
    static bool runCluster(const QString& command);
};

} // namespace tds
