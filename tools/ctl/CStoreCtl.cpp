#include "CStoreCtl.h"

#include "CCalendarExport.h"
#include "CCalendarQuery.h"
#include "CCtlException.h"
#include "CStoreException.h"

#include "records/CItsmPlatformInfo.h"
#include "records/CItsmQueryDataReq.h"
#include "records/COperateDataReq.h"
#include "records/EZRMarketType.h"
#include "upload/CTradeDateFileReader.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <limits>

#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QSet>

namespace IMC {

namespace {

const QString dbOption = QStringLiteral("db");
const QString operatorOption = QStringLiteral("operator");
const QString marketOption = QStringLiteral("market");
const QString platformOption = QStringLiteral("platform");
const QString exchangeOption = QStringLiteral("exchange");
const QString revisionOption = QStringLiteral("revision");
const QString outputOption = QStringLiteral("output");
const QString userOption = QStringLiteral("user");
const QString rightOption = QStringLiteral("right");
const QString helpOption = QStringLiteral("help");
const QString ifRevisionOption = QStringLiteral("if-revision");
const QString forceOption = QStringLiteral("force");
const QString codeOption = QStringLiteral("code");
const QString trackOption = QStringLiteral("track");
const QString asOfOption = QStringLiteral("as-of");
const QString formatOptionName = QStringLiteral("format");
const QString countOption = QStringLiteral("count");

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

} // namespace

CStoreCtl::CStoreCtl(QTextStream& out, QTextStream& err)
    : out(out)
    , err(err)
{
    defineOptions();
}

int CStoreCtl::run(const QStringList& arguments)
{
    try {
        parse(arguments);
        if (parser.isSet(helpOption)) {
            out << helpText();
            return ExitSuccess;
        }
        if (command == QLatin1String("init")) {
            initStore();
        } else if (command == QLatin1String("export")) {
            exportDays();
        } else if (command == QLatin1String("import")) {
            importDays();
        } else if (command == QLatin1String("list-exchanges")) {
            listExchanges();
        } else if (command == QLatin1String("add-exchange")) {
            addExchange();
        } else if (command == QLatin1String("history")) {
            history();
        } else if (command == QLatin1String("restore")) {
            restore();
        } else if (command == QLatin1String("grant")) {
            changeRight(true);
        } else if (command == QLatin1String("revoke")) {
            changeRight(false);
        } else if (command == QLatin1String("rights")) {
            listRights();
        } else if (CCalendarQuery::commands.contains(command)) {
            const int answer = query();
            out.flush();
            return answer;
        } else {
            throw CCtlException(ExitUsage, QStringLiteral("未知命令: %1（见 --help）").arg(command));
        }
        out.flush();
        return ExitSuccess;
    } catch (const CCtlException& failure) {
        out.flush();
        err << "tradingday-ctl: " << failure.message() << '\n';
        err.flush();
        const bool answersNoWithUsageCode = command == QLatin1String("is-trading-day");
        return answersNoWithUsageCode && failure.exitCode() == ExitUsage ? ExitQueryUsage
                                                                         : failure.exitCode();
    }
}

QString CStoreCtl::helpText()
{
    return QStringLiteral(
        "用法: tradingday-ctl --db 地址 [--operator 操作员] 命令 [选项]\n"
        "\n"
        "维护交易日数据库。地址是 SQLite 文件路径、sqlite:///文件路径，或多台主机共用的 PostgreSQL 数据库\n"
        "postgresql://用户[:密码]@主机[:端口]/数据库（数据库须已存在，init 建立其中的表）。\n"
        "\n"
        "命令:\n"
        "  init                                     建立数据库（不存在时），写入赛道和境外交易所参考数据\n"
        "  export --market N [--platform P] [--exchange 名称] [--output 文件] [--format csv|json|ics]\n"
        "         [--as-of 修订|时间]              导出交易日；默认写到标准输出。csv（默认）: 首行\n"
        "                                           \"日期,是否交易日\"，每个交易日一行 \"日期,1\"，UTF-8，\n"
        "                                           末行后不换行（可直接上传）；json: 交易日及其盘别；\n"
        "                                           ics: iCalendar 文件，从第一个到最后一个已存交易日之间\n"
        "                                           每个不是交易日的工作日一个全天事件 \"休市\"\n"
        "  import --market N [--platform P] [--exchange 名称] [--if-revision 编号] 文件\n"
        "                                           按上传规则读取 .xls/.xlsx/文本文件，以其中的交易日\n"
        "                                           替换该市场（或境外交易所）的全部交易日；\n"
        "                                           有 --if-revision 时只在该修订仍是当前修订时导入\n"
        "  is-trading-day 日期                      是否交易日: 退出码 0 是，1 否\n"
        "  sessions 日期                            该日的盘别: 日盘、夜盘、日盘和夜盘、无，或非交易日\n"
        "  next 日期 [--count N]                    该日之后（不含该日）的 N 个交易日，默认 1 个\n"
        "  previous 日期 [--count N]                该日之前（不含该日）的 N 个交易日，默认 1 个\n"
        "  range 开始日期 结束日期                  其间的交易日（含两端）\n"
        "  count 开始日期 结束日期                  其间的交易日数（含两端）\n"
        "                                           查询都要 --market（及 --platform / --exchange），\n"
        "                                           日期为 yyyy-MM-dd；--format text（默认，每行一个\n"
        "                                           日期）、json 或 csv；--as-of 修订编号或\n"
        "                                           \"yyyy-MM-dd HH:mm:ss\"（本地时间）按当时的数据回答。\n"
        "                                           需要已存交易日之外的日期时报错（退出码 6），不答\"否\"\n"
        "  list-exchanges                           列出境外交易所: "
        "名称、代码、赛道编号、赛道名称、交易日数\n"
        "  add-exchange --exchange 名称 --code 代码 --track 赛道编号\n"
        "                                           新增没有交易日的境外交易所（已存在时拒绝）\n"
        "  history --market N [--platform P | --exchange 名称]\n"
        "                                           列出修订: 编号、时间、操作员、操作、交易日数\n"
        "  restore --revision 编号                  把该修订时的状态恢复为当前状态（记为新修订）\n"
        "  grant --user 操作员 --right 权限编号     授予操作员权限（已有时不变）\n"
        "  revoke --user 操作员 --right 权限编号 [--force]\n"
        "                                           撤销操作员的权限（没有时不变）；撤销最后一个\n"
        "                                           交易日维护权限持有者的 10615 需要 --force\n"
        "  rights --user 操作员                     列出操作员的权限编号，每行一个\n"
        "\n"
        "权限 10615 是交易日维护权限: import、restore 以及客户端的保存和删除都要求操作员（--operator）\n"
        "有此权限，否则被拒绝且不做任何修改。数据库中还从未有操作员被授予 10615 时（新建的数据库），\n"
        "所有操作员都有此权限，rights 也会列出它；第一次授予后，只有被授予的操作员可以维护交易日，\n"
        "最后一个持有者被撤销后，在再授予一人之前任何人都不能保存、删除或恢复交易日。\n"
        "\n"
        "市场 N: 0 境内, 1 港股通, 2 其他, 3 电子盘（--platform 14 期货电子盘 或 15 利率电子盘）,\n"
        "        4 境外（需要 --exchange 交易所名称）。\n"
        "--operator 记在修订中、并检查其权限的操作员，默认是系统用户名。\n"
        "输出各列以制表符分隔。\n"
        "\n"
        "退出码:\n"
        "  0  成功\n"
        "  1  用法错误: 未知命令或选项、缺少或多余的参数、数据库拒绝的请求（包括操作员没有权限）\n"
        "  2  数据库不存在、无法打开、不是交易日数据库或数据库操作失败\n"
        "  3  导入文件无法读取（\"文件打开失败\"）或格式错误（\"第 N 行文件格式错误\"），或导出文件无法写入\n"
        "  4  修订或境外交易所不存在\n"
        "  5  --if-revision 给出的修订已不是当前修订（交易日已被他人修改），或新增的交易所已存在\n"
        "  6  查询需要已存交易日范围之外的日期\n"
        "  64 is-trading-day 的用法错误（其退出码 1 表示\"否\"）\n");
}

void CStoreCtl::defineOptions()
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({dbOption, QString(), QStringLiteral("地址")});
    parser.addOption({operatorOption, QString(), QStringLiteral("操作员")});
    parser.addOption({marketOption, QString(), QStringLiteral("N")});
    parser.addOption({platformOption, QString(), QStringLiteral("P")});
    parser.addOption({exchangeOption, QString(), QStringLiteral("名称")});
    parser.addOption({revisionOption, QString(), QStringLiteral("编号")});
    parser.addOption({outputOption, QString(), QStringLiteral("文件")});
    parser.addOption({userOption, QString(), QStringLiteral("操作员")});
    parser.addOption({rightOption, QString(), QStringLiteral("权限编号")});
    parser.addOption({ifRevisionOption, QString(), QStringLiteral("编号")});
    parser.addOption({forceOption, QString()});
    parser.addOption({codeOption, QString(), QStringLiteral("代码")});
    parser.addOption({trackOption, QString(), QStringLiteral("赛道编号")});
    parser.addOption({asOfOption, QString(), QStringLiteral("修订|时间")});
    parser.addOption({formatOptionName, QString(), QStringLiteral("格式")});
    parser.addOption({countOption, QString(), QStringLiteral("N")});
    parser.addOption({{helpOption, QStringLiteral("h")}, QString()});
}

void CStoreCtl::parse(const QStringList& arguments)
{
    if (!parser.parse(QStringList(QStringLiteral("tradingday-ctl")) + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        throw CCtlException(ExitUsage,
                            unknown.isEmpty()
                                ? QStringLiteral("参数错误: %1").arg(parser.errorText())
                                : QStringLiteral("未知选项: %1").arg(unknown.join(QStringLiteral(", "))));
    }
    if (parser.isSet(helpOption)) {
        return;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        throw CCtlException(ExitUsage, QStringLiteral("缺少命令（见 --help）"));
    }
    command = positional.first();
    if (!parser.isSet(dbOption)) {
        throw CCtlException(ExitUsage, QStringLiteral("缺少 --db 数据库地址"));
    }
}

void CStoreCtl::requireOnly(const QStringList& allowed, int positionalCount)
{
    const QStringList always = {dbOption, operatorOption};
    for (const QString& option : parser.optionNames()) {
        if (!always.contains(option) && !allowed.contains(option)) {
            throw CCtlException(ExitUsage, QStringLiteral("命令 %1 不接受选项 --%2").arg(command, option));
        }
    }
    const QStringList arguments = parser.positionalArguments().mid(1);
    if (arguments.size() < positionalCount) {
        throw CCtlException(ExitUsage, QStringLiteral("命令 %1 缺少文件参数").arg(command));
    }
    if (arguments.size() > positionalCount) {
        throw CCtlException(ExitUsage,
                            QStringLiteral("命令 %1 有多余的参数: %2")
                                .arg(command, arguments.mid(positionalCount).join(QLatin1Char(' '))));
    }
}

void CStoreCtl::openStore(bool mayCreate)
{
    store = std::make_unique<CSqlTradingDayBackend>(parser.value(dbOption));
    const bool missingFile =
        store->storeAddress().kind() == CStoreAddress::SqliteFile && !QFileInfo::exists(store->filePath());
    if (!mayCreate && missingFile) {
        throw CCtlException(
            ExitStore, QStringLiteral("交易日数据库 %1 不存在（可用 init 命令建立）").arg(store->filePath()));
    }
    check(store->open());
}

void CStoreCtl::initStore()
{
    requireOnly({}, 0);
    openStore(true);
    out << QStringLiteral("交易日数据库已就绪: %1").arg(store->storeAddress().displayText()) << '\n';
}

void CStoreCtl::exportDays()
{
    requireOnly({marketOption, platformOption, exchangeOption, outputOption, formatOptionName, asOfOption},
                0);
    const int market = marketType();
    const QString format = formatOption(CCalendarExport::formats, QStringLiteral("csv"));
    openStore(false);
    CStoreRevision revision;
    const TradeDateMap days = daysAsAsked(market, revision);
    const QByteArray bytes =
        CCalendarExport::render(format, days, revision, subjectKey(market), calendarTitle(market));
    if (!parser.isSet(outputOption)) {
        out << QString::fromUtf8(bytes);
        return;
    }
    QSaveFile file(parser.value(outputOption));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw CCtlException(
            ExitFile,
            QStringLiteral("无法写入文件 %1: %2").arg(parser.value(outputOption), file.errorString()));
    }
    err << QStringLiteral("已导出 %1 个交易日到 %2").arg(days.size()).arg(parser.value(outputOption)) << '\n';
}

int CStoreCtl::query()
{
    const bool counted = command == QLatin1String("next") || command == QLatin1String("previous");
    const bool twoDates = command == QLatin1String("range") || command == QLatin1String("count");
    QStringList allowed{marketOption, platformOption, exchangeOption, formatOptionName, asOfOption};
    if (counted) {
        allowed << countOption;
    }
    requireOnly(allowed, twoDates ? 2 : 1);
    const int market = marketType();
    const int count = parser.isSet(countOption)
                          ? static_cast<int>(std::min<long long>(positiveNumber(countOption),
                                                                 std::numeric_limits<int>::max()))
                          : 1;
    const QString format = formatOption(CCalendarQuery::formats, QStringLiteral("text"));
    const QStringList dates = parser.positionalArguments().mid(1);
    CCalendarQuery(command, dates, count, format, 0).checkArguments();
    openStore(false);
    CStoreRevision revision;
    const TradeDateMap days = daysAsAsked(market, revision);
    return CCalendarQuery(command, dates, count, format, revision.id).answer(CTradingCalendar(days), out);
}

void CStoreCtl::importDays()
{
    requireOnly({marketOption, platformOption, exchangeOption, ifRevisionOption}, 1);
    const int market = marketType();
    const bool conditional = parser.isSet(ifRevisionOption);
    const long long expectedRevision = conditional ? positiveNumber(ifRevisionOption) : 0;
    const QString path = parser.positionalArguments().at(1);
    CTradeDateLines lines;
    if (!QFileInfo(path).isFile() || !CTradeDateFileReader::readLines(path, lines)) {
        throw CCtlException(ExitFile,
                            QStringLiteral("%1: %2").arg(CTradeDateFileReader::openFailedText, path));
    }
    TradeDateMap days;
    const int badLine = CTradeDateFileReader::makeRecords(lines, days);
    if (badLine > 0) {
        throw CCtlException(
            ExitFile, QStringLiteral("%1: %2").arg(CTradeDateFileReader::lineFormatMessage(badLine), path));
    }
    openStore(false);

    ttservice::COperateDataReq request;
    request.dataType = ITradingDayBackend::DataKindTradeDates;
    request.operation = ITradingDayBackend::OperationSave;
    if (market == ttservice::EZR_MarketOverseas) {
        const auto exchange = findExchange(exchangeName());
        exchange->tradeDates = days;
        request.records.push_back(exchange);
        request.platformParam = "WP";
    } else {
        auto record = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
        record->marketType = market;
        record->tradeDates = days;
        request.records.push_back(record);
        request.platformParam = platformParam();
    }
    if (conditional) {
        CSeenRevisions seen;
        seen.remember(CSeenRevisions::Subject::of(market, platformParam(), exchangeName()), expectedRevision);
        check(store->operateChecked(request, operatorName(), seen));
    } else {
        check(store->operate(request, operatorName()));
    }
    out << QStringLiteral("已导入 %1 个交易日，修订 %2").arg(days.size()).arg(latestRevisionId(market))
        << '\n';
}

void CStoreCtl::listExchanges()
{
    requireOnly({}, 0);
    openStore(false);
    std::map<int, std::string> tracks = trackNames();
    for (const auto& exchange : exchanges()) {
        out << fromStd(exchange->exchangeName) << '\t' << fromStd(exchange->exchangeCode) << '\t'
            << exchange->trackId << '\t' << fromStd(tracks[exchange->trackId]) << '\t'
            << exchange->tradeDates.size() << '\n';
    }
}

void CStoreCtl::addExchange()
{
    requireOnly({exchangeOption, codeOption, trackOption}, 0);
    if (!parser.isSet(exchangeOption) || exchangeName().empty() || !parser.isSet(codeOption)) {
        throw CCtlException(
            ExitUsage,
            QStringLiteral("命令 add-exchange 需要 --exchange 名称、--code 代码和 --track 赛道编号"));
    }
    const long long track = positiveNumber(trackOption);
    if (track > std::numeric_limits<int>::max()) {
        throw CCtlException(ExitUsage, QStringLiteral("赛道编号过大: %1").arg(track));
    }
    openStore(false);
    for (const auto& existing : exchanges()) {
        if (existing->exchangeName == exchangeName()) {
            throw CCtlException(ExitStale,
                                QStringLiteral("交易所 %1 已存在").arg(fromStd(existing->exchangeName)));
        }
    }
    auto exchange = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    exchange->marketType = ttservice::EZR_MarketOverseas;
    exchange->exchangeName = exchangeName();
    exchange->exchangeCode = parser.value(codeOption).toStdString();
    exchange->trackId = static_cast<int>(track);
    ttservice::COperateDataReq request;
    request.dataType = ITradingDayBackend::DataKindTradeDates;
    request.operation = ITradingDayBackend::OperationSave;
    request.platformParam = "WP";
    request.records.push_back(exchange);
    // Seen nothing: the store refuses when another desk added the exchange meanwhile.
    CSeenRevisions seen;
    check(store->operateChecked(request, operatorName(), seen));
    out << QStringLiteral("已新增交易所 %1，修订 %2")
               .arg(fromStd(exchange->exchangeName))
               .arg(*seen.revisionOf({ttservice::EZR_MarketOverseas, "", exchange->exchangeName}))
        << '\n';
}

void CStoreCtl::history()
{
    requireOnly({marketOption, platformOption, exchangeOption}, 0);
    const int market = marketType();
    openStore(false);
    std::vector<CStoreRevision> revisions;
    check(store->revisions(market, platformParam(), exchangeName(), revisions));
    for (const CStoreRevision& revision : revisions) {
        out << revision.id << '\t'
            << revision.savedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
            << fromStd(revision.operatorName) << '\t' << revision.operationText() << '\t' << revision.dayCount
            << '\n';
    }
}

void CStoreCtl::restore()
{
    requireOnly({revisionOption}, 0);
    if (!parser.isSet(revisionOption)) {
        throw CCtlException(ExitUsage, QStringLiteral("缺少 --revision 修订编号"));
    }
    bool isNumber = false;
    const long long revisionId = parser.value(revisionOption).toLongLong(&isNumber);
    if (!isNumber || revisionId <= 0) {
        throw CCtlException(
            ExitUsage, QStringLiteral("修订编号必须是正整数，收到: %1").arg(parser.value(revisionOption)));
    }
    openStore(false);
    CStoreRevision restored;
    check(store->restoreRevision(revisionId, operatorName(), restored));
    out << QStringLiteral("已恢复修订 %1，新修订 %2，%3 个交易日")
               .arg(revisionId)
               .arg(restored.id)
               .arg(restored.dayCount)
        << '\n';
}

void CStoreCtl::changeRight(bool granting)
{
    requireOnly({userOption, rightOption, forceOption}, 0);
    const std::string user = userName();
    if (!parser.isSet(rightOption)) {
        throw CCtlException(ExitUsage, QStringLiteral("命令 %1 需要 --right 权限编号").arg(command));
    }
    bool isNumber = false;
    const int right = parser.value(rightOption).toInt(&isNumber);
    if (!isNumber || right <= 0) {
        throw CCtlException(ExitUsage,
                            QStringLiteral("权限编号必须是正整数，收到: %1").arg(parser.value(rightOption)));
    }
    if (granting && parser.isSet(forceOption)) {
        throw CCtlException(ExitUsage, QStringLiteral("命令 grant 不接受选项 --force"));
    }
    openStore(false);
    if (!granting) {
        requireForceToRevokeLastMaintainer(user, right);
    }
    check(granting ? store->grantRight(user, right) : store->revokeRight(user, right));
    out << (granting ? QStringLiteral("已授予操作员 %1 权限 %2")
                     : QStringLiteral("已撤销操作员 %1 的权限 %2"))
               .arg(fromStd(user))
               .arg(right)
        << '\n';
}

void CStoreCtl::requireForceToRevokeLastMaintainer(const std::string& user, int right)
{
    if (right != CSqlTradingDayBackend::RightTradingDayMaintenance || parser.isSet(forceOption)) {
        return;
    }
    std::vector<std::string> holders;
    check(store->maintainers(holders));
    if (holders == std::vector<std::string>{user}) {
        throw CCtlException(
            ExitUsage, QStringLiteral("警告: %1 是最后一个有交易日维护权限(%2)的操作员，撤销后任何人都不能"
                                      "保存、删除或恢复交易日，直到再授予一人。确认撤销请加 --force")
                           .arg(fromStd(user))
                           .arg(right));
    }
}

void CStoreCtl::listRights()
{
    requireOnly({userOption}, 0);
    const std::string user = userName();
    openStore(false);
    QSet<int> rights;
    check(store->rightsOf(user, rights));
    QList<int> sorted = rights.values();
    std::sort(sorted.begin(), sorted.end());
    for (const int right : sorted) {
        out << right << '\n';
    }
}

std::string CStoreCtl::userName() const
{
    if (!parser.isSet(userOption) || parser.value(userOption).isEmpty()) {
        throw CCtlException(ExitUsage, QStringLiteral("命令 %1 需要 --user 操作员").arg(command));
    }
    return parser.value(userOption).toStdString();
}

long long CStoreCtl::positiveNumber(const QString& option) const
{
    bool isNumber = false;
    const long long number = parser.value(option).toLongLong(&isNumber);
    if (!isNumber || number <= 0) {
        throw CCtlException(ExitUsage,
                            QStringLiteral("--%1 必须是正整数，收到: %2").arg(option, parser.value(option)));
    }
    return number;
}

int CStoreCtl::marketType() const
{
    if (!parser.isSet(marketOption)) {
        throw CCtlException(ExitUsage, QStringLiteral("命令 %1 需要 --market 市场类型").arg(command));
    }
    static const QStringList markets = {"0", "1", "2", "3", "4"};
    const int market = markets.indexOf(parser.value(marketOption));
    if (market < 0) {
        throw CCtlException(
            ExitUsage, QStringLiteral("市场类型必须是 0 到 4，收到: %1").arg(parser.value(marketOption)));
    }
    if (market == ttservice::EZR_MarketOverseas) {
        if (!parser.isSet(exchangeOption)) {
            throw CCtlException(ExitUsage,
                                QStringLiteral("境外市场（--market 4）需要 --exchange 交易所名称"));
        }
        if (parser.isSet(platformOption) && parser.value(platformOption) != QLatin1String("WP")) {
            throw CCtlException(ExitUsage, QStringLiteral("境外市场的平台参数只能是 WP"));
        }
    } else if (parser.isSet(exchangeOption)) {
        throw CCtlException(ExitUsage, QStringLiteral("--exchange 只用于境外市场（--market 4）"));
    }
    return market;
}

std::string CStoreCtl::platformParam() const
{
    if (marketType() == ttservice::EZR_MarketOverseas) {
        return "WP";
    }
    return parser.value(platformOption).toStdString();
}

std::string CStoreCtl::exchangeName() const
{
    return parser.value(exchangeOption).toStdString();
}

std::string CStoreCtl::operatorName() const
{
    if (parser.isSet(operatorOption)) {
        return parser.value(operatorOption).toStdString();
    }
    for (const char* variable : {"USER", "USERNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty()) {
            return name.toStdString();
        }
    }
    return "tradingday-ctl";
}

std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>>
CStoreCtl::exchanges(CSeenRevisions* seen)
{
    ttservice::CItsmQueryDataReq request;
    request.dataType = ITradingDayBackend::DataKindTradeDates;
    request.marketParam = "4";
    request.platformParam = "WP";
    std::vector<boost::shared_ptr<ttservice::IData>> records;
    check(seen ? store->queryTracked(request, records, *seen) : store->query(request, records));
    std::vector<boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate>> found;
    for (const auto& record : records) {
        if (auto exchange = boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(record)) {
            found.push_back(std::move(exchange));
        }
    }
    return found;
}

boost::shared_ptr<ttservice::CItsmTypedMarketTradeDate> CStoreCtl::findExchange(const std::string& name,
                                                                                CSeenRevisions* seen)
{
    for (const auto& exchange : exchanges(seen)) {
        if (exchange->exchangeName == name) {
            return exchange;
        }
    }
    throw CCtlException(ExitNotFound, QStringLiteral("交易所 %1 不存在").arg(fromStd(name)));
}

TradeDateMap CStoreCtl::currentDays(int market, CSeenRevisions* seen)
{
    if (market == ttservice::EZR_MarketOverseas) {
        return findExchange(exchangeName(), seen)->tradeDates;
    }
    ttservice::CItsmQueryDataReq request;
    request.dataType = ITradingDayBackend::DataKindTradeDates;
    request.marketParam = std::to_string(market);
    request.platformParam = platformParam();
    std::vector<boost::shared_ptr<ttservice::IData>> records;
    check(seen ? store->queryTracked(request, records, *seen) : store->query(request, records));
    const auto typed =
        records.empty() ? nullptr
                        : boost::dynamic_pointer_cast<ttservice::CItsmTypedMarketTradeDate>(records.front());
    return typed ? typed->tradeDates : TradeDateMap();
}

TradeDateMap CStoreCtl::daysAsAsked(int market, CStoreRevision& revision)
{
    if (!parser.isSet(asOfOption)) {
        // The days and the revision they reflect, from one read.
        CSeenRevisions seen;
        const TradeDateMap days = currentDays(market, &seen);
        revision.id =
            seen.revisionOf(CSeenRevisions::Subject::of(market, platformParam(), exchangeName())).value_or(0);
        return days;
    }
    const QString asOf = parser.value(asOfOption);
    bool isNumber = false;
    const long long revisionId = asOf.toLongLong(&isNumber);
    const QDateTime at = QDateTime::fromString(asOf, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if ((isNumber && revisionId <= 0) || (!isNumber && !at.isValid())) {
        throw CCtlException(
            ExitUsage, QStringLiteral("--as-of 应为修订编号或 \"yyyy-MM-dd HH:mm:ss\"，收到: %1").arg(asOf));
    }
    TradeDateMap days;
    check(store->daysAsOf(market, platformParam(), exchangeName(), isNumber ? revisionId : 0, at, revision,
                          days));
    return days;
}

QString CStoreCtl::formatOption(const QStringList& allowed, const QString& fallback) const
{
    if (!parser.isSet(formatOptionName)) {
        return fallback;
    }
    const QString format = parser.value(formatOptionName);
    if (!allowed.contains(format)) {
        throw CCtlException(ExitUsage, QStringLiteral("命令 %1 的 --format 可以是 %2，收到: %3")
                                           .arg(command, allowed.join(QStringLiteral("、")), format));
    }
    return format;
}

QString CStoreCtl::subjectKey(int market) const
{
    if (market == ttservice::EZR_MarketOverseas) {
        return QStringLiteral("exchange-") +
               QString::fromLatin1(parser.value(exchangeOption).toUtf8().toHex());
    }
    const QString platform = QString::fromStdString(platformParam());
    return QStringLiteral("market-%1").arg(market) +
           (platform.isEmpty() ? QString() : QLatin1Char('-') + platform);
}

QString CStoreCtl::calendarTitle(int market) const
{
    static const QStringList names = {QStringLiteral("境内市场"), QStringLiteral("港股通"),
                                      QStringLiteral("其他市场"), QStringLiteral("电子盘"),
                                      QStringLiteral("境外")};
    if (market == ttservice::EZR_MarketOverseas) {
        return parser.value(exchangeOption);
    }
    const QString platform = QString::fromStdString(platformParam());
    return names.value(market) + (platform.isEmpty() ? QString() : QLatin1Char(' ') + platform);
}

long long CStoreCtl::latestRevisionId(int market)
{
    std::vector<CStoreRevision> revisions;
    check(store->revisions(market, platformParam(), exchangeName(), revisions));
    return revisions.empty() ? 0 : revisions.back().id;
}

std::map<int, std::string> CStoreCtl::trackNames()
{
    std::map<int, std::string> names;
    for (const std::string kind : {"14", "15"}) {
        std::vector<boost::shared_ptr<ttservice::IData>> records;
        check(store->queryReference(ITradingDayBackend::DataKindTracks, kind, records));
        for (const auto& record : records) {
            if (const auto track = boost::dynamic_pointer_cast<ttservice::CItsmPlatformInfo>(record)) {
                names[track->platformId] = track->platformName;
            }
        }
    }
    return names;
}

void CStoreCtl::check(const utils::TTError& error) const
{
    if (error.isSuccess()) {
        return;
    }
    int exitCode = ExitStore;
    if (error.code() == CStoreException::BadRequest || error.code() == CStoreException::Forbidden) {
        exitCode = ExitUsage;
    } else if (error.code() == CStoreException::NotFound) {
        exitCode = ExitNotFound;
    } else if (error.code() == CStoreException::Stale) {
        exitCode = ExitStale;
    }
    throw CCtlException(exitCode, fromStd(error.errorMsg()));
}

} // namespace IMC
