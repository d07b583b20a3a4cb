#include "CStoreCtl.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tradingday-ctl"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    IMC::CStoreCtl ctl(out, err);
    return ctl.run(QCoreApplication::arguments().mid(1));
}
