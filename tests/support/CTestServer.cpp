#include "CTestServer.h"

#include <QProcess>

namespace tds {

bool CTestServer::isGiven()
{
    return !qEnvironmentVariableIsEmpty("TDS_PGCLUSTER") &&
           !qEnvironmentVariableIsEmpty("TDS_TEST_PG_CLUSTER");
}

bool CTestServer::stop()
{
    return runCluster(QStringLiteral("stop"));
}

bool CTestServer::start()
{
    return runCluster(QStringLiteral("start"));
}

bool CTestServer::runCluster(const QString& command)
{
    QProcess cluster;
    cluster.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cluster.start(qEnvironmentVariable("TDS_PGCLUSTER"),
                  {command, qEnvironmentVariable("TDS_TEST_PG_CLUSTER")});
    return cluster.waitForFinished(120000) && cluster.exitStatus() == QProcess::NormalExit &&
           cluster.exitCode() == 0;
}

} // namespace tds
