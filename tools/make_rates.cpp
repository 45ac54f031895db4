// Generates the shipped rate file from monthly Treasury constant-maturity
// yields: one actual set per complete fiscal year (October to September
// averages) and one budget set per budget year 1992-2030, each the average
// of the fiscal year two years before, or of the last twelve months in the
// file where that year is not complete. Output is reproducible: the checksum
// blocks come from a fixed seed.
//
//   make_rates [monthly.csv] [rates.txt]
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "rates/cr_rates.h"
#include "util/decimal_round.h"
#include "util/text_error.h"

namespace {

// CSV columns of the nine maturities, in rate-set order.
const char* const columns[9] = {"GS3M", "GS6M", "GS1", "GS2", "GS3", "GS5", "GS7", "GS10", "GS30"};
constexpr int first_budget_year = 1992;
constexpr int last_budget_year = 2030;
constexpr std::uint32_t block_seed = 20231130;

using month_rates = std::array<double, 9>;

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

bool parse_number(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0';
}

// Months keyed by year * 12 + (month - 1).
std::map<int, month_rates> read_months(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw fv::text_error("make_rates: cannot open " + path);
    std::string line;
    if (!std::getline(in, line)) throw fv::text_error("make_rates: " + path + " is empty");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> header = split(line);
    std::array<std::size_t, 9> index{};
    for (std::size_t j = 0; j < 9; ++j) {
        std::size_t i = 0;
        while (i < header.size() && header[i] != columns[j]) ++i;
        if (i == header.size()) throw fv::text_error(std::string("make_rates: no column ") + columns[j] + " in " + path);
        index[j] = i;
    }
    std::map<int, month_rates> months;
    int line_number = 1;
    while (std::getline(in, line)) {
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::vector<std::string> fields = split(line);
        int year = 0;
        int month = 0;
        if (fields.empty() || std::sscanf(fields[0].c_str(), "%d-%d", &year, &month) != 2 || month < 1 || month > 12)
            throw fv::text_error("make_rates: " + path + ", line " + std::to_string(line_number) + ": bad date");
        month_rates rates{};
        bool complete = true;
        for (std::size_t j = 0; j < 9; ++j)
            complete = complete && index[j] < fields.size() && parse_number(fields[index[j]], rates[j]);
        if (complete) months[year * 12 + month - 1] = rates;  // a month missing a rate leaves its year incomplete
    }
    return months;
}

bool average(const std::map<int, month_rates>& months, int first_key, month_rates& result) {
    month_rates sum{};
    for (int key = first_key; key < first_key + 12; ++key) {
        const auto found = months.find(key);
        if (found == months.end()) return false;
        for (std::size_t j = 0; j < 9; ++j) sum[j] += found->second[j];
    }
    for (std::size_t j = 0; j < 9; ++j) result[j] = fv::round_decimal(sum[j] / 12.0, 2);
    return true;
}

// Fiscal year Y runs from October of Y-1 to September of Y.
int fiscal_year_start(int fy) { return (fy - 1) * 12 + 9; }

}  // namespace

int main(int argc, char** argv) {
    const std::string csv = argc > 1 ? argv[1] : "../shared/data/treasury_cmt_monthly.csv";
    const std::string out = argc > 2 ? argv[2] : "data/rates.txt";
    if (argc > 3) {
        std::cerr << "usage: make_rates [monthly.csv] [rates.txt]\n";
        return 2;
    }
    try {
        const std::map<int, month_rates> months = read_months(csv);
        if (months.size() < 12) throw fv::text_error("make_rates: fewer than twelve complete months in " + csv);

        std::map<int, month_rates> fiscal;
        const int first_fy = months.begin()->first / 12;
        const int last_fy = months.rbegin()->first / 12 + 1;
        for (int fy = first_fy; fy <= last_fy; ++fy) {
            month_rates rates;
            if (average(months, fiscal_year_start(fy), rates)) fiscal[fy] = rates;
        }
        month_rates last_twelve;
        if (!average(months, months.rbegin()->first - 11, last_twelve))
            throw fv::text_error("make_rates: the last twelve months of " + csv + " are not all there");

        std::vector<fv::cr_rate_item> actual;
        for (const auto& [fy, rates] : fiscal)
            actual.emplace_back(fv::source_actual, "FY " + std::to_string(fy) + " average", rates);
        std::vector<fv::cr_rate_item> budget;
        for (int year = first_budget_year; year <= last_budget_year; ++year) {
            const auto found = fiscal.find(year - 2);
            budget.emplace_back(fv::source_budget, "Budget " + std::to_string(year),
                                found != fiscal.end() ? found->second : last_twelve);
        }

        fv::cr_rates collection;
        collection.set_common(std::move(actual), std::move(budget));
        fv::block_writer writer(block_seed);
        const std::string text = collection.common_file_text(
            writer, "Treasury constant-maturity yields: fiscal-year averages and budget assumptions");

        // Read back before writing: the loader must accept every line.
        fv::cr_rates check;
        check.load_common_text(out, text, true);

        std::ofstream file(out, std::ios::binary);
        file << text;
        file.close();
        if (!file) throw fv::text_error("make_rates: cannot write " + out);
        std::cout << out << ": " << check.actual().size() << " actual sets, " << check.budget().size()
                  << " budget sets\n";
    } catch (const fv::text_error& e) {
        std::cerr << e.text() << "\n";
        return 1;
    }
    return 0;
}
