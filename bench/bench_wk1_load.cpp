// Loading and querying a WK1 file of 12,000,000 bytes, the largest the reader
// accepts: about 700,000 number cells under one named range. Reports the load
// time, the time of a full walk of the range through the range cursor, and
// the memory against the file size: load_rss_growth_per_file_byte (resident
// memory a loaded workbook holds), peak_above_baseline_per_file_byte (the
// peak while loading, above what the process held before) and
// peak_rss_per_file_byte (the whole process, benchmark library included).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <fstream>
#include <string>
#include <vector>

#include "workbook/workbook_file.h"
#include "workbook/wk1_reader.h"

namespace {

constexpr std::size_t file_size = 12'000'000;
constexpr unsigned columns = 16;  // so the rows fit in 16 bits

void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put_record(std::ostream& out, unsigned type, const std::string& data) {
    std::string header;
    put16(header, type);
    put16(header, static_cast<unsigned>(data.size()));
    out << header << data;
}

// The file is written record by record, so making it costs no memory of its own.
struct big_file {
    std::string path;
    unsigned rows = 0;

    big_file() {
        path = (std::filesystem::temp_directory_path() / ("fv_bench_" + std::to_string(::getpid()) + ".wk1")).string();
        std::ofstream out(path, std::ios::binary);
        constexpr std::size_t cell_bytes = 4 + 13;
        constexpr std::size_t fixed = (4 + 2) + (4 + 24) + (4 + 0);  // start, range, end
        const std::size_t cells = (file_size - fixed - 4) / cell_bytes;  // room left for one filler record
        rows = static_cast<unsigned>(cells / columns);
        if (rows > 65536) throw std::runtime_error("rows do not fit in 16 bits");
        put_record(out, 0, std::string("\x06\x04", 2));
        std::string range("DATA");
        range.resize(16, '\0');
        put16(range, 0);
        put16(range, 0);
        put16(range, columns - 1);
        put16(range, rows - 1);
        put_record(out, 11, range);
        std::size_t written = (4 + 2) + (4 + 24);
        for (unsigned row = 0; row < rows; ++row) {
            for (unsigned column = 0; column < columns; ++column) {
                std::string cell(1, '\xFF');
                put16(cell, column);
                put16(cell, row);
                const double value = row * 0.25 + column;
                char raw[8];
                std::memcpy(raw, &value, 8);
                cell.append(raw, 8);
                put_record(out, 14, cell);
                written += cell_bytes;
            }
        }
        const std::size_t filler = file_size - written - 4 - 4;  // filler header and end record
        for (std::size_t left = filler; left > 0;) {
            const std::size_t take = std::min<std::size_t>(left, 2048);
            put_record(out, 0x64, std::string(take, '\0'));
            left -= take;
            if (left > 0 && left < 4) throw std::runtime_error("filler does not fit");
            if (left > 0) left -= 4;
        }
        put_record(out, 1, std::string());
    }
    ~big_file() { std::remove(path.c_str()); }
};

const big_file& the_file() {
    static const big_file file;
    return file;
}

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long current_rss_kb() {
    std::ifstream status("/proc/self/statm");
    long pages = 0, resident = 0;
    status >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_Wk1Load(benchmark::State& state) {
    const big_file& file = the_file();
    if (std::filesystem::file_size(file.path) != file_size) {
        state.SkipWithError("the generated file is not 12,000,000 bytes");
        return;
    }
    // What the process held before the first load: the peak above it is the reader's.
    static const long baseline_kb = current_rss_kb();
    long growth_kb = 0;
    for (auto _ : state) {
        const long before = current_rss_kb();
        fv::workbook_file book(file.path);
        book.load();
        growth_kb = current_rss_kb() - before;
        double number = 0;
        benchmark::DoNotOptimize(book.read_cell("A:P100", number));
    }
    state.counters["file_bytes"] = static_cast<double>(file_size);
    state.counters["load_rss_growth_per_file_byte"] = growth_kb * 1024.0 / file_size;
    state.counters["peak_above_baseline_per_file_byte"] = (peak_rss_kb() - baseline_kb) * 1024.0 / file_size;
    state.counters["peak_rss_per_file_byte"] = peak_rss_kb() * 1024.0 / file_size;
}
BENCHMARK(BM_Wk1Load)->Unit(benchmark::kMillisecond);

// One cell query per cell of the range, as the range parser reads it.
void BM_Wk1WalkRange(benchmark::State& state) {
    const big_file& file = the_file();
    fv::workbook_file book(file.path);
    book.load();
    std::size_t cells = 0;
    for (auto _ : state) {
        book.select_range("DATA");
        double sum = 0;
        do {
            do {
                double number = 0;
                if (book.read_cursor_cell(number) == fv::content_delivered) sum += number;
                ++cells;
            } while (book.cursor_right(1));
            book.cursor_left(columns);
        } while (book.cursor_down(1));
        benchmark::DoNotOptimize(sum);
    }
    state.counters["cells_per_second"] = benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsRate);
    state.counters["peak_rss_per_file_byte"] = peak_rss_kb() * 1024.0 / file_size;
}
BENCHMARK(BM_Wk1WalkRange)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
