// lzw_decode speed in bytes of output per second, on synthetic inputs and on the show's own
// archive (tarnwick.dat in the working directory, when there), with its compression ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/lzw.h"
#include "archive/lzw_encoder.h"

namespace {

std::vector<uint8_t> synthetic(int kind, size_t size) {
  std::vector<uint8_t> data(size);
  std::mt19937 generator(1);
  for (size_t i = 0; i < size; ++i) {
    switch (kind) {
      case 0: data[i] = static_cast<uint8_t>((i % 320) ^ (i / 320)); break;                 // pattern picture
      case 1: data[i] = static_cast<uint8_t>(generator()); break;                           // noise
      case 2: data[i] = 0; break;                                                           // one long run
      default: data[i] = static_cast<uint8_t>(128 + 60 * ((i / 7) % 5) + generator() % 4);  // grainy shades
    }
  }
  return data;
}

void decode_loop(benchmark::State& state, const std::vector<std::vector<uint8_t>>& streams,
                 const std::vector<size_t>& sizes) {
  size_t total = 0, packed = 0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    total += sizes[i];
    packed += streams[i].size();
  }
  std::vector<uint8_t> output(total);
  for (auto _ : state) {
    uint8_t* at = output.data();
    for (size_t i = 0; i < streams.size(); ++i) {
      if (!lzw_decode(streams[i].data(), streams[i].size(), at, sizes[i])) state.SkipWithError("decode failed");
      at += sizes[i];
    }
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(total);
}

void BM_lzw_decode_synthetic(benchmark::State& state) {
  const std::vector<uint8_t> data = synthetic(static_cast<int>(state.range(0)), 1 << 20);
  decode_loop(state, {lzw_encode(data.data(), data.size())}, {data.size()});
  const char* names[] = {"pattern", "noise", "zeros", "shades"};
  state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_lzw_decode_synthetic)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The compressed entries of the show's archive, decoded one after another.
void BM_lzw_decode_show_data(benchmark::State& state) {
  std::vector<std::vector<uint8_t>> streams;
  std::vector<size_t> sizes;
  FILE* file = std::fopen("tarnwick.dat", "rb");
  if (file && archive_read_directory("tarnwick.dat")) {
    for (int32_t i = 0; i < archive_count; ++i) {
      const ArchiveEntry& entry = archive_directory[i].entry;
      if (entry.method != archive_method_lzw) continue;
      std::vector<uint8_t> stream(entry.stored_size);
      if (std::fseek(file, static_cast<long>(entry.offset), SEEK_SET) != 0 ||
          std::fread(stream.data(), 1, stream.size(), file) != stream.size()) {
        break;
      }
      streams.push_back(std::move(stream));
      sizes.push_back(entry.unpacked_size);
    }
    archive_close();
  }
  if (file) std::fclose(file);
  if (streams.empty()) {
    state.SkipWithError("no tarnwick.dat with compressed entries in the working directory");
    return;
  }
  decode_loop(state, streams, sizes);
}
BENCHMARK(BM_lzw_decode_show_data)->Unit(benchmark::kMicrosecond);

}  // namespace
