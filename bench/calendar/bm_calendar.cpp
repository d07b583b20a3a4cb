// Speed and memory of the calendar page: a month change as the operator makes it (">" pressed, events
// processed, the page painted), measured against Qt's own QCalendarWidget doing the same; applying a
// large query answer; and the resident memory that many month changes leave behind.

#include "calendar/CSystemTradingDayWidget.h"
#include "records/CItsmTypedMarketTradeDate.h"
#include "services/CItsmClientCenter.h"
#include "services/CMemoryTradingDayBackend.h"
#include "support/BenchTradeDays.h"
#include "utils/CSingletonT.h"
#include "widgets/CSmallNormalButton.h"

#include <benchmark/benchmark.h>

#include <boost/make_shared.hpp>

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QTest>

#include <memory>
#include <unistd.h>

namespace {

const std::string benchSystem = "bench";

// The page with a way to hand it a query answer as the host's client would on the GUI thread.
class CBenchPage : public IMC::CSystemTradingDayWidget
{
public:
    CBenchPage()
        : IMC::CSystemTradingDayWidget(ttservice::EZR_MarketDomestic, nullptr)
    {}

    void answer(const std::vector<boost::shared_ptr<ttservice::IData>>& records)
    {
        onQueryTradingDay(utils::TTError(), records, static_cast<int>(records.size()), bson::BSONObj());
    }
};

// A shown page of the domestic market whose first query has been answered with days.
std::unique_ptr<CBenchPage> loadedPage(const TradeDateMap& days)
{
    auto* center = utils::CSingletonT<IMC::CItsmClientCenter>::instance();
    center->resetForTests();
    auto backend = std::make_shared<IMC::CMemoryTradingDayBackend>();
    backend->setMarketDays(0, days);
    center->registerSystem(benchSystem, backend);

    auto page = std::make_unique<CBenchPage>();
    page->setSystem(QString::fromStdString(benchSystem));
    page->show();
    page->onActive();
    center->getClientByName(benchSystem)->waitUntilIdle(10000);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return page;
}

XP::CSmallNormalButton* buttonOf(QWidget* page, const QString& text)
{
    for (XP::CSmallNormalButton* button : page->findChildren<XP::CSmallNormalButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

void paint(QWidget* widget, QImage& image)
{
    widget->render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

// One month change as the operator makes it: the button pressed, the events processed, the page painted.
void changeMonthAndPaint(XP::CSmallNormalButton* button, QWidget* page, QImage& image)
{
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    paint(page, image);
}

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

void BM_CalendarPageNextMonth(benchmark::State& state)
{
    const QDate today = QDate::currentDate();
    std::unique_ptr<CBenchPage> page = loadedPage(tds::bench::weekdaysOfYears(today.year() - 5, 10));
    XP::CSmallNormalButton* next = buttonOf(page.get(), QStringLiteral(">"));
    XP::CSmallNormalButton* backToToday = buttonOf(page.get(), QStringLiteral("今天"));
    // Every month shown holds trading days: past the last month of the data the page goes back to
    // today's month, outside the measured time.
    const int monthsWithDaysAhead = 4 * 12 + 12 - today.month();
    int monthsAhead = 0;
    QImage image(page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (monthsAhead == monthsWithDaysAhead) {
            state.PauseTiming();
            changeMonthAndPaint(backToToday, page.get(), image);
            monthsAhead = 0;
            state.ResumeTiming();
        }
        changeMonthAndPaint(next, page.get(), image);
        ++monthsAhead;
    }
}
BENCHMARK(BM_CalendarPageNextMonth)->Unit(benchmark::kMillisecond);

void BM_QCalendarWidgetNextMonth(benchmark::State& state)
{
    QCalendarWidget calendar;
    calendar.setFixedSize(1130, 664);
    calendar.show();
    QCoreApplication::processEvents();
    QImage image(calendar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        calendar.showNextMonth();
        QCoreApplication::processEvents();
        paint(&calendar, image);
    }
}
BENCHMARK(BM_QCalendarWidgetNextMonth)->Unit(benchmark::kMillisecond);

void BM_CalendarPageApplyAnswer(benchmark::State& state)
{
    std::unique_ptr<CBenchPage> page = loadedPage(TradeDateMap());
    auto market = boost::make_shared<ttservice::CItsmTypedMarketTradeDate>();
    market->marketType = 0;
    market->tradeDates = tds::bench::weekdaysOfYears(QDate::currentDate().year() - 15, 30);
    const std::vector<boost::shared_ptr<ttservice::IData>> records = {market};
    QImage image(page->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        page->answer(records);
        QCoreApplication::processEvents();
        paint(page.get(), image);
    }
    state.counters["records"] = static_cast<double>(market->tradeDates.size());
}
BENCHMARK(BM_CalendarPageApplyAnswer)->Unit(benchmark::kMillisecond);

// Resident memory left after 1,000 month changes, back and forth, once the first changes warmed caches.
void BM_CalendarPageMonthChangesMemory(benchmark::State& state)
{
    const int thisYear = QDate::currentDate().year();
    std::unique_ptr<CBenchPage> page = loadedPage(tds::bench::weekdaysOfYears(thisYear - 5, 10));
    XP::CSmallNormalButton* next = buttonOf(page.get(), QStringLiteral(">"));
    XP::CSmallNormalButton* previous = buttonOf(page.get(), QStringLiteral("<"));
    QImage image(page->size(), QImage::Format_ARGB32_Premultiplied);
    const auto changeMonths = [&](int count) {
        for (int i = 0; i < count; ++i) {
            changeMonthAndPaint((i / 12) % 2 == 0 ? next : previous, page.get(), image);
        }
    };
    for (auto _ : state) {
        changeMonths(100);
        const long before = residentKiB();
        changeMonths(1000);
        const long after = residentKiB();
        state.counters["rss_growth_KiB"] = static_cast<double>(after - before);
    }
}
BENCHMARK(BM_CalendarPageMonthChangesMemory)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

} // namespace
