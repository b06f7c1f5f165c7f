// Micro-benchmarks of the stages that scale with the inventories: reading
// (parse and entry building, console discarded), sorting and pairing.
//   vernatto_micro_benchmarks FIRST.json SECOND.json [benchmark flags]
// The files come from vernatto_generate_inventories; bench/run.sh makes them.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <ostream>
#include <random>
#include <streambuf>
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "compare/pairing.h"
#include "inventory/inventory.h"
#include "parse_only.h"

namespace {

using vernatto::inventory::Inventory;

std::string firstPath;
std::string secondPath;

// Swallows the console lines, so that only the reading is timed.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

Inventory readQuietly(const std::string& path) {
  NullBuffer buffer;
  std::ostream out(&buffer);
  Inventory inventory;
  vernatto::inventory::readInventory(path, inventory, out);
  return inventory;
}

// The parse alone, for comparison with the whole reading.
void parseOnly(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(vernatto::bench::parseOnly(firstPath));
}
BENCHMARK(parseOnly)->Unit(benchmark::kMillisecond);

void readInventory(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(readQuietly(firstPath));
}
BENCHMARK(readInventory)->Unit(benchmark::kMillisecond);

// Sorting an inventory in a fixed random order (the read hands it back
// sorted, and a sorted input would flatter the sort).
void sortInventory(benchmark::State& state) {
  Inventory shuffled = readQuietly(firstPath);
  std::mt19937_64 random(1);
  for (std::size_t i = shuffled.size(); i > 1; --i)
    std::swap(shuffled[i - 1], shuffled[random() % i]);
  for (auto _ : state) {
    state.PauseTiming();
    Inventory inventory = shuffled;
    state.ResumeTiming();
    vernatto::inventory::sortInventory(inventory);
    benchmark::DoNotOptimize(inventory.data());
  }
}
BENCHMARK(sortInventory)->Unit(benchmark::kMillisecond);

void pairEntries(benchmark::State& state) {
  const Inventory first = readQuietly(firstPath);
  const Inventory second = readQuietly(secondPath);
  for (auto _ : state)
    benchmark::DoNotOptimize(vernatto::compare::pairEntries(first, second));
}
BENCHMARK(pairEntries)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 3) {
    std::cerr << "usage: vernatto_micro_benchmarks FIRST.json SECOND.json [flags]\n";
    return 2;
  }
  firstPath = argv[1];
  secondPath = argv[2];
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
