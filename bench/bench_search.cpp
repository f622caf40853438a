// Times the divisions alone (one by one, and the vector kernel on each
// instruction set this processor runs, beside the divider's throughput floor),
// the search as the program runs it, a whole Find command through stand-in
// controls, and a whole click on "FIND   PRIME   NUMBERS" in the real window.
#include "runtime/controls.h"
#include "search/find_command.h"
#include "search/prime_search.h"
#include "search/trial_division.h"
#include "window/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <hwy/highway.h>
#include <string>

namespace tavrik_bench {
// divider_floor.cpp
double independentDivisions(std::uint64_t divisions);
} // namespace tavrik_bench

namespace {

constexpr double densest = 996458993; // 10000 wide from here: 544 primes, the most of any range
constexpr double largest = 1000000000;

class MemoryControls : public tavrik::Controls {
public:
    std::array<QString, 3> texts;
    QStringList items;

    QString text(tavrik::TextBox box) const override {
        return texts[static_cast<std::size_t>(box)];
    }
    void setText(tavrik::TextBox box, const QString& text) override {
        texts[static_cast<std::size_t>(box)] = text;
    }
    void clearList() override { items.clear(); }
    void addItem(const QString& item) override { items.append(item); }
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

void dividerFloor(benchmark::State& state, double lower, std::int64_t target) {
    const std::uint64_t divisions = divisionsNeeded(lower);
    hwy::SetSupportedTargetsForTest(target);
    for (auto _ : state)
        benchmark::DoNotOptimize(tavrik_bench::independentDivisions(divisions));
    hwy::SetSupportedTargetsForTest(0);
    state.counters["divisions"] = static_cast<double>(divisions);
}

void search(benchmark::State& state, double lower) {
    MemoryControls form;
    for (auto _ : state) {
        form.items.clear();
        tavrik::listPrimes(lower, lower + 10000, 0, form);
        benchmark::DoNotOptimize(form.items.size());
    }
    state.counters["primes"] = static_cast<double>(form.items.size());
}

void findCommand(benchmark::State& state) {
    MemoryControls form;
    for (auto _ : state) {
        form.texts = {QStringLiteral("996458993"), QStringLiteral("996468993"), QString()};
        tavrik::findPrimeNumbers(form);
        benchmark::DoNotOptimize(form.texts[2]);
    }
    state.counters["primes"] = static_cast<double>(form.items.size());
}

void windowClick(benchmark::State& state) {
    tavrik::Form1 form;
    form.show();
    auto* find = form.findChild<QPushButton*>("Command1");
    auto* list = form.findChild<QListWidget*>("List1");
    form.findChild<QLineEdit*>("Text1")->setText(QStringLiteral("996458993"));
    form.findChild<QLineEdit*>("Text2")->setText(QStringLiteral("996468993"));
    for (auto _ : state) {
        QTest::mouseClick(find, Qt::LeftButton); // returns once the count is written
        state.PauseTiming();
        QApplication::processEvents(); // paint outside the timing, as between real clicks
        state.ResumeTiming();
    }
    state.counters["primes"] = list->count();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrik"));

    for (const auto& [label, lower] :
         {std::pair{"996458993-996468993", densest}, std::pair{"1000000000-1000010000", largest}}) {
        benchmark::RegisterBenchmark((std::string("divisions/one-by-one/") + label).c_str(),
                                     divisionsOnly, tavrik::hasExactDivisorOneByOne, lower, 0)
            ->Unit(benchmark::kMillisecond);
        for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
            const std::string name = hwy::TargetName(target) + std::string("/") + label;
            benchmark::RegisterBenchmark(("divisions/" + name).c_str(), divisionsOnly,
                                         tavrik::hasExactDivisor, lower, target)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("floor/" + name).c_str(), dividerFloor, lower, target)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("search/996458993-996468993", search, densest)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("search/1000000000-1000010000", search, largest)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("find/996458993-996468993", findCommand)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("click/996458993-996468993", windowClick)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
