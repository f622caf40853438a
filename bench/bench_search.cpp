// Times the divisions alone (one by one, and the vector kernel on each
// instruction set this processor runs, beside two throughput floors: the
// divider's for those divisions, and the multiplier's for the kernel's own
// exactness tests), the making of the kernel's tables,
// the search as the program runs it, a whole Find command through stand-in
// controls, a whole click on "FIND   PRIME   NUMBERS" in the real window, and
// the click together with the window's first repaint on the platform in use
// (scripts/bench_window.sh runs it in a real window, under Xvfb on xcb).
#include "search/kernel_targets.h" // before any Highway header

#include "runtime/controls.h"
#include "search/find_command.h"
#include "search/prime_search.h"
#include "search/trial_division.h"
#include "window/form1.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <hwy/highway.h>
#include <memory>
#include <string>

namespace tavrik_bench {
// divider_floor.cpp
double independentDivisions(std::uint64_t divisions);
// multiplier_floor.cpp
std::uint64_t independentExactnessTests(std::uint64_t tests);
} // namespace tavrik_bench

namespace {

// 10000 wide from here: 544 primes; no accepted range needs more divisions.
constexpr double heaviest = 996458993;
constexpr double largest = 1000000000;

class MemoryControls : public tavrik::Controls {
public:
    std::array<QString, 3> texts;
    QList<double> primes;

    QString text(tavrik::TextBox box) const override {
        return texts[static_cast<std::size_t>(box)];
    }
    void setText(tavrik::TextBox box, const QString& text) override {
        texts[static_cast<std::size_t>(box)] = text;
    }
    void clearList() override { primes.clear(); }
    void addItems(const QList<double>& more) override { primes.append(more); }
    void showMessage(const QString&) override {}
};

using ExactDivisorTest = bool (*)(double candidate, double root);

// The divisions one-by-one trial division makes over 10000 from `lower`.
std::uint64_t divisionsNeeded(double lower) {
    std::uint64_t divisions = 0;
    for (double candidate = lower; candidate <= lower + 10000; ++candidate) {
        const double root = std::sqrt(candidate);
        for (double divisor = 2; divisor <= root; ++divisor) {
            ++divisions;
            if (std::floor(candidate / divisor) == candidate / divisor) break;
        }
    }
    return divisions;
}

// target 0: whatever the processor's widest is.
void divisionsOnly(benchmark::State& state, ExactDivisorTest hasExactDivisor, double lower,
                   std::int64_t target) {
    hwy::SetSupportedTargetsForTest(target);
    int primes = 0;
    for (auto _ : state) {
        primes = 0;
        for (double candidate = lower; candidate <= lower + 10000; ++candidate)
            primes += !hasExactDivisor(candidate, std::sqrt(candidate));
        benchmark::DoNotOptimize(primes);
    }
    hwy::SetSupportedTargetsForTest(0);
    state.counters["primes"] = primes;
}

// A throughput floor: `floorSteps` does as many independent steps as one-by-one
// trial division of the range tries divisors, on the given instruction set.
template <typename Result>
void throughputFloor(benchmark::State& state, Result (*floorSteps)(std::uint64_t), double lower,
                     std::int64_t target) {
    const std::uint64_t steps = divisionsNeeded(lower);
    hwy::SetSupportedTargetsForTest(target);
    for (auto _ : state)
        benchmark::DoNotOptimize(floorSteps(steps));
    hwy::SetSupportedTargetsForTest(0);
    state.counters["steps"] = static_cast<double>(steps);
}

// What the first search pays once, before its first division.
void makeTables(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(std::make_unique<tavrik::ExactnessTables>());
}

void search(benchmark::State& state, double lower) {
    MemoryControls form;
    for (auto _ : state) {
        form.primes.clear();
        tavrik::listPrimes(lower, lower + 10000, form);
        benchmark::DoNotOptimize(form.primes.size());
    }
    state.counters["primes"] = static_cast<double>(form.primes.size());
}

void findCommand(benchmark::State& state) {
    MemoryControls form;
    for (auto _ : state) {
        form.texts = {QStringLiteral("996458993"), QStringLiteral("996468993"), QString()};
        tavrik::findPrimeNumbers(form);
        benchmark::DoNotOptimize(form.texts[2]);
    }
    state.counters["primes"] = static_cast<double>(form.primes.size());
}

void windowClick(benchmark::State& state) {
    tavrik::Form1 form;
    form.show();
    auto* find = form.findChild<QPushButton*>("Command1");
    auto* list = form.findChild<QListView*>("List1");
    form.findChild<QLineEdit*>("Text1")->setText(QStringLiteral("996458993"));
    form.findChild<QLineEdit*>("Text2")->setText(QStringLiteral("996468993"));
    for (auto _ : state) {
        QTest::mouseClick(find, Qt::LeftButton); // returns once the count is written
        state.PauseTiming();
        QApplication::processEvents(); // paint outside the timing, as between real clicks
        state.ResumeTiming();
    }
    state.counters["primes"] = list->model()->rowCount();
}

// Counts the paint events of the widget it watches.
class PaintCounter : public QObject {
public:
    int painted = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++painted;
        return QObject::eventFilter(watched, event);
    }
};

// The click as the user sees it: the Find command, then the window's first
// repaint with the new list laid out and drawn and the count shown. The same
// on C L E A R, with nothing to search or list, is what any click costs here.
void clickAndPaint(benchmark::State& state, const char* lower, const char* upper,
                   const char* buttonName) {
    tavrik::Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        state.SkipWithError("the window was never shown");
        return;
    }
    auto* button = form.findChild<QPushButton*>(buttonName);
    auto* list = form.findChild<QListView*>("List1");
    PaintCounter counter;
    list->viewport()->installEventFilter(&counter);
    form.findChild<QLineEdit*>("Text1")->setText(QLatin1String(lower));
    form.findChild<QLineEdit*>("Text2")->setText(QLatin1String(upper));
    QApplication::processEvents();
    for (auto _ : state) {
        const int before = counter.painted;
        QTest::mouseClick(button, Qt::LeftButton);
        while (counter.painted == before)
            QApplication::processEvents(); // until the list is painted and the window flushed
        state.PauseTiming();
        QApplication::processEvents(); // whatever is left, outside the timing
        state.ResumeTiming();
    }
    state.counters["primes"] = list->model()->rowCount();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrik"));

    for (const auto& [label, lower] : {std::pair{"996458993-996468993", heaviest},
                                       std::pair{"1000000000-1000010000", largest}}) {
        benchmark::RegisterBenchmark((std::string("divisions/one-by-one/") + label).c_str(),
                                     divisionsOnly, tavrik::hasExactDivisorOneByOne, lower, 0)
            ->Unit(benchmark::kMillisecond);
        for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
            const std::string name = hwy::TargetName(target) + std::string("/") + label;
            benchmark::RegisterBenchmark(("divisions/" + name).c_str(), divisionsOnly,
                                         tavrik::hasExactDivisor, lower, target)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("floor/divider/" + name).c_str(), throughputFloor<double>,
                                         tavrik_bench::independentDivisions, lower, target)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("floor/multiplier/" + name).c_str(),
                                         throughputFloor<std::uint64_t>,
                                         tavrik_bench::independentExactnessTests, lower, target)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("tables", makeTables)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("search/0-10000", search, 0.0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search/996458993-996468993", search, heaviest)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search/1000000000-1000010000", search, largest)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("find/996458993-996468993", findCommand)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("click/996458993-996468993", windowClick)
        ->Unit(benchmark::kMillisecond);
    const std::string painted = "click+paint/" + QGuiApplication::platformName().toStdString();
    benchmark::RegisterBenchmark((painted + "/0-10000").c_str(), clickAndPaint, "0", "10000",
                                 "Command1")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((painted + "/996458993-996468993").c_str(), clickAndPaint,
                                 "996458993", "996468993", "Command1")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((painted + "/clear").c_str(), clickAndPaint, "0", "10000",
                                 "Command2")
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
