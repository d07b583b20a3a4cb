#include "spreadsheet/CExcelReader.h"

#include "spreadsheet/CSheetReaderProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace XP {
namespace {

QString findProgram()
{
    const QString configured = qEnvironmentVariable("TDS_SOFFICE");
    if (!configured.isEmpty()) {
        const QFileInfo info(configured);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

} // namespace

CExcelReader::CExcelReader(QObject* parent)
    : QObject(parent)
{}

CExcelReader::~CExcelReader() = default;

bool CExcelReader::init(bool)
{
    program = findProgram();
    return isValid();
}

bool CExcelReader::isValid() const
{
    return !program.isEmpty();
}

bool CExcelReader::open(const QString& path)
{
    close();
    const QFileInfo source(path);
    if (!isValid() || !source.isFile()) {
        return false;
    }
    workDir = std::make_unique<QTemporaryDir>();
    if (!workDir->isValid()) {
        return false;
    }
    const QString outDir = workDir->filePath(QStringLiteral("out"));
    // A private profile per run: runs that share one hand their work to the first and return at once.
    const QString profile = QUrl::fromLocalFile(workDir->filePath(QStringLiteral("profile"))).toString();
    QProcess office;
    office.setProcessChannelMode(QProcess::MergedChannels);
    office.start(program,
                 {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                  QStringLiteral("--norestore"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                  QStringLiteral("--outdir"), outDir, source.absoluteFilePath()});
    if (!office.waitForStarted() || !office.waitForFinished(conversionTimeoutMs)) {
        office.kill();
        office.waitForFinished();
        return false;
    }
    // The application exits with 0 even when it could not convert; only the copy tells.
    const QString converted = QDir(outDir).filePath(source.completeBaseName() + QStringLiteral(".xlsx"));
    // The copy is as untrusted as the file it came from: it is parsed by the sheet reader helper too.
    if (!QFileInfo::exists(converted) || !CSheetReaderProcess::read(converted, table)) {
        table = CSheetTable();
        return false;
    }
    return true;
}

int CExcelReader::getSheetStartRow(int sheet) const
{
    return hasSheet(sheet) ? table.firstRow() : 1;
}

int CExcelReader::getSheetRowCount(int sheet) const
{
    return hasSheet(sheet) ? table.lastRow() : 0;
}

int CExcelReader::getSheetStartCol(int sheet) const
{
    return hasSheet(sheet) ? table.firstColumn() : 1;
}

int CExcelReader::getSheetColCount(int sheet) const
{
    return hasSheet(sheet) ? table.lastColumn() : 0;
}

QString CExcelReader::getData(int sheet, int row, int col, bool)
{
    return sheet == 1 ? table.cellText(row, col) : QString();
}

void CExcelReader::close()
{
    table = CSheetTable();
    workDir.reset();
}

void CExcelReader::exitExcel()
{
    close();
    program.clear();
}

} // namespace XP
