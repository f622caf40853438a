// Times the prime search alone and a whole Find command (through stand-in
// controls that keep the texts and the list in memory).
#include "runtime/controls.h"
#include "search/find_command.h"
#include "search/prime_search.h"

#include <QStringList>
#include <array>
#include <benchmark/benchmark.h>

namespace {

class MemoryControls : public tavrik::Controls {
public:
    std::array<QString, 3> texts;
    QStringList items;

    QString text(tavrik::TextBox box) const override { return texts[static_cast<std::size_t>(box)]; }
    void setText(tavrik::TextBox box, const QString& text) override {
        texts[static_cast<std::size_t>(box)] = text;
    }
    void clearList() override { items.clear(); }
    void addItem(const QString& item) override { items.append(item); }
    void showMessage(const QString&) override {}
};

void searchAlone(benchmark::State& state) {
    const double lower = static_cast<double>(state.range(0));
    MemoryControls form;
    for (auto _ : state) {
        form.items.clear();
        tavrik::listPrimes(lower, lower + 10000, 0, form);
        benchmark::DoNotOptimize(form.items.size());
    }
    state.counters["primes"] = static_cast<double>(form.items.size());
}
BENCHMARK(searchAlone)->Name("search/996458993-996468993")->Arg(996458993)->Unit(benchmark::kMillisecond);
BENCHMARK(searchAlone)->Name("search/1000000000-1000010000")->Arg(1000000000)->Unit(benchmark::kMillisecond);

void wholeFind(benchmark::State& state) {
    MemoryControls form;
    for (auto _ : state) {
        form.texts = {QStringLiteral("996458993"), QStringLiteral("996468993"), QString()};
        tavrik::findPrimeNumbers(form);
        benchmark::DoNotOptimize(form.texts[2]);
    }
    state.counters["primes"] = static_cast<double>(form.items.size());
}
BENCHMARK(wholeFind)->Name("find/996458993-996468993")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
