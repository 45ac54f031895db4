// The workbook front: the reader chosen by extension, the load failures,
// forwarding before load, select_range and the range cursor, and the candidate
// ranges offered to the user.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "lotus_writer.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/wk1_reader.h"

namespace fv {
namespace {

using test::bytes;
using test::temp_file;
namespace w = test::wk1;

std::string load_failure(workbook_file& front) {
    try {
        front.load();
    } catch (const text_error& failure) {
        return failure.text();
    }
    return "";
}

const bytes& small_wk1() {
    static const bytes content = w::workbook({{"A:A1", std::string("Name")}});
    return content;
}

TEST(WorkbookFile, ChoosesTheReaderByTheLastThreeCharacters) {
    const std::pair<const char*, format_kind> cases[] = {
        {"wk1", format_kind::wk1}, {"WK1", format_kind::wk1}, {"wK3", format_kind::wk3}, {"wk4", format_kind::wk3},
    };
    for (const auto& [extension, kind] : cases) {
        temp_file file(small_wk1(), extension);
        workbook_file front(file.path());
        if (kind == format_kind::wk1) {
            EXPECT_EQ(load_failure(front), "") << extension;
        } else {
            // The WK3 reader is chosen: it refuses a WK1 start record.
            EXPECT_EQ(load_failure(front), "wk3_file::load_wk3:  defective input file (first record is not length 26)");
        }
        EXPECT_EQ(front.reader_kind(), kind) << extension;
        EXPECT_EQ(front.kind(), format_kind::none);
    }
    // No dot is needed before the three characters.
    const std::string dotless = (std::filesystem::temp_directory_path() / "fv_lotus_bookwk1").string();
    std::ofstream(dotless, std::ios::binary).write(reinterpret_cast<const char*>(small_wk1().data()),
                                                    static_cast<std::streamsize>(small_wk1().size()));
    workbook_file front(dotless);
    EXPECT_EQ(load_failure(front), "");
    EXPECT_EQ(front.reader_kind(), format_kind::wk1);
    std::filesystem::remove(dotless);

    temp_file text(small_wk1(), "txt");
    workbook_file unknown(text.path());
    EXPECT_EQ(load_failure(unknown), "gen_file::load:  unknown file extension.  No handler could be created.");
    EXPECT_EQ(unknown.reader_kind(), format_kind::none);
}

TEST(WorkbookFile, LoadsAnXlsFileNamedInCapitals) {
    const std::string fixture = FV_SOURCE_DIR "/tests/fixtures/xls/gnumeric_v8.xls";
    if (!std::filesystem::exists(fixture)) GTEST_SKIP() << "no XLS fixture at " << fixture;
    std::ifstream in(fixture, std::ios::binary);
    const bytes content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    temp_file file(content, "XLS");
    workbook_file front(file.path());
    EXPECT_EQ(load_failure(front), "");
    EXPECT_EQ(front.reader_kind(), format_kind::xls);
}

TEST(WorkbookFile, LoadFailuresComeBeforeTheExtensionIsLookedAt) {
    workbook_file nameless("");
    EXPECT_EQ(load_failure(nameless), "gen_file::load:  called with a NULL pointer");
    EXPECT_EQ(nameless.file_date(), "");

    const auto folder = std::filesystem::temp_directory_path();
    workbook_file missing((folder / "fv_lotus_missing.txt").string());
    EXPECT_EQ(load_failure(missing), "gen_file::load:  unable to open " + missing.file_name());

    // A directory or a FIFO is no spreadsheet, whatever its name.
    const std::string directory = (folder / ("fv_lotus_dir_" + std::to_string(::getpid()) + ".wk1")).string();
    std::filesystem::create_directory(directory);
    workbook_file dir_front(directory);
    EXPECT_EQ(load_failure(dir_front), "gen_file::load:  unable to open " + dir_front.file_name());
    std::filesystem::remove(directory);
    const std::string fifo = (folder / ("fv_lotus_fifo_" + std::to_string(::getpid()) + ".wk1")).string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    workbook_file fifo_front(fifo);
    EXPECT_EQ(load_failure(fifo_front), "gen_file::load:  unable to open " + fifo_front.file_name());
    std::filesystem::remove(fifo);
}

TEST(WorkbookFile, KnowsItsFileAndDate) {
    temp_file file(small_wk1(), "wk1");
    workbook_file front(file.path());
    EXPECT_EQ(front.file_name(), std::filesystem::canonical(file.path()).string());
    EXPECT_EQ(front.file_date().size(), 24u);
}

TEST(WorkbookFile, EveryOperationBeforeLoadNamesItself) {
    workbook_file front("whatever.wk1");
    std::string text;
    double number = 0;
    range_bounds bounds;
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"get_ranges", [&] { front.range_names(); }},
        {"get_range_coord", [&] { front.find_range("x", bounds); }},
        {"use_cursor", [&] { front.use_cursor_addressing(); }},
        {"set_cursor", [&] { front.move_cursor("A:A1"); }},
        {"get_content", [&] { front.read_cell("A:A1", text); }},
        {"get_content", [&] { front.read_cell("A:A1", number); }},
        {"get_content", [&] { front.read_current_cell(text); }},
        {"get_content", [&] { front.read_current_cell(number); }},
        {"get_type", [&] { front.current_cell_kind(); }},
        {"use_range", [&] { front.select_range("x"); }},
        {"get_candidate_ranges", [&] { front.candidate_ranges(); }},
        {"rc_content", [&] { front.read_cursor_cell(text); }},
        {"rc_content", [&] { front.read_cursor_cell(number); }},
        {"data_cell_addresses", [&] { front.data_cell_addresses(); }},
    };
    for (const auto& [operation, call] : cases) {
        try {
            call();
            ADD_FAILURE() << operation << " answered before load";
        } catch (const text_error& failure) {
            EXPECT_EQ(failure.text(), std::string("gen_file::") + operation + " called before load()");
        }
    }
}

// A front over a WK1 workbook made in memory.
workbook_file front_over(const bytes& content) {
    auto reader = std::make_unique<wk1_reader>("");
    reader->load_bytes(content);
    return workbook_file("", std::move(reader));
}

TEST(WorkbookFile, SelectRangeSetsBoundsAndTheCursorMovesStopAtTheEdges) {
    workbook_file front = front_over(w::workbook({{"A:B2", std::string("Name")}, {"A:C2", 2.5}, {"A:D4", 9.0}},
                                            {{"RANGE", "A:B2", "A:D4"}}));
    EXPECT_FALSE(front.select_range("nothing"));
    EXPECT_FALSE(front.range_set());
    ASSERT_TRUE(front.select_range("range"));
    EXPECT_TRUE(front.range_set());
    EXPECT_FALSE(front.range_inverted());
    EXPECT_EQ(front.range_sheet(), 0);
    EXPECT_EQ(front.first_row(), 1);
    EXPECT_EQ(front.last_row(), 3);
    EXPECT_EQ(front.first_column(), 1);
    EXPECT_EQ(front.last_column(), 3);
    EXPECT_EQ(front.cursor_address_text(), "A:B2");
    std::string text;
    double number = 0;
    EXPECT_EQ(front.read_cursor_cell(text), content_delivered);
    EXPECT_EQ(text, "Name");
    EXPECT_EQ(front.cursor_cell_kind(), kind_text);

    // Three columns, cursor in the middle one.
    EXPECT_TRUE(front.cursor_right(1));
    EXPECT_EQ(front.read_cursor_cell(number), content_delivered);
    EXPECT_EQ(number, 2.5);
    EXPECT_FALSE(front.cursor_right(2));
    EXPECT_EQ(front.current_column(), 3);
    EXPECT_FALSE(front.cursor_right(1));
    EXPECT_EQ(front.current_column(), 3);
    EXPECT_TRUE(front.cursor_right(0));
    EXPECT_TRUE(front.cursor_down(2));
    EXPECT_EQ(front.cursor_address_text(), "A:D4");
    EXPECT_EQ(front.read_cursor_cell(number), content_delivered);
    EXPECT_EQ(number, 9.0);
    EXPECT_FALSE(front.cursor_down(1));
    EXPECT_FALSE(front.cursor_left(3));
    EXPECT_EQ(front.current_column(), 1);
    EXPECT_TRUE(front.cursor_up(1));
    EXPECT_FALSE(front.cursor_up(5));
    EXPECT_EQ(front.current_row(), 1);
    EXPECT_TRUE(front.cursor_left(0));
    EXPECT_TRUE(front.cursor_down(1));
    EXPECT_EQ(front.read_cursor_cell(text), content_no_cell);
    EXPECT_EQ(front.cursor_cell_kind(), kind_none);

    // A new select_range starts again at the upper-left cell; an unknown one clears the range.
    EXPECT_TRUE(front.select_range("RANGE"));
    EXPECT_EQ(front.cursor_address_text(), "A:B2");
    EXPECT_FALSE(front.select_range("gone"));
    EXPECT_FALSE(front.range_set());
}

TEST(WorkbookFile, AnInvertedRangeKeepsTheCursorInside) {
    bytes content = w::start()
                        .record(w::range, w::range_record("BACK", 4, 9, 1, 2))  // last before first
                        .record(w::number, w::number_cell(cell_address("A:E10"), 1.0))
                        .record(w::eof, {})
                        .data();
    workbook_file front = front_over(content);
    ASSERT_TRUE(front.select_range("BACK"));
    EXPECT_TRUE(front.range_inverted());
    EXPECT_EQ(front.cursor_address_text(), "A:E10");
    EXPECT_FALSE(front.cursor_right(1));
    EXPECT_FALSE(front.cursor_down(1));
    EXPECT_FALSE(front.cursor_left(1));
    EXPECT_FALSE(front.cursor_up(1));
    EXPECT_EQ(front.cursor_address_text(), "A:E10");
}

TEST(WorkbookFile, ColumnsPastIVReadNoCellInsteadOfWrappingAround) {
    // A WK1 range keeps 16 bits of column: 256 would wrap to column A in 8 bits.
    bytes content = w::start()
                        .record(w::range, w::range_record("WIDE", 255, 0, 256, 0))
                        .record(w::number, w::number_cell(cell_address("A:A1"), 1.0))
                        .record(w::number, w::number_cell(cell_address("A:IV1"), 2.0))
                        .record(w::eof, {})
                        .data();
    workbook_file front = front_over(content);
    ASSERT_TRUE(front.select_range("WIDE"));
    double number = 0;
    EXPECT_EQ(front.read_cursor_cell(number), content_delivered);
    EXPECT_EQ(number, 2.0);
    EXPECT_TRUE(front.cursor_right(1));
    EXPECT_EQ(front.read_cursor_cell(number), content_no_cell);
    EXPECT_EQ(front.cursor_cell_kind(), kind_none);
}

TEST(WorkbookFile, CandidateRangesStartWithNameInTheirUpperLeftCell) {
    workbook_file front = front_over(w::workbook({{"A:A1", 5.0},
                                             {"A:A2", std::string("Title")},
                                             {"A:A3", std::string("Name of the program")},
                                             {"A:A4", std::string("   NAME")},
                                             {"A:A5", std::string("n")},
                                             {"A:A6", std::string("nA")}},
                                            {{"NUMBER", "A:A1", "A:B9"},
                                             {"TITLE", "A:A2", "A:B9"},
                                             {"\\NAMED", "A:A3", "A:B9"},
                                             {"BLANKS", "A:A4", "A:B9"},
                                             {"EMPTY", "A:C1", "A:D9"},
                                             {"SHORT", "A:A5", "A:B9"},
                                             {"PLAIN", "A:A3", "A:B9"},
                                             {"MIXED", "A:A6", "A:A6"}}));
    EXPECT_EQ(front.candidate_ranges(), (std::vector<std::string>{"BLANKS", "PLAIN", "MIXED"}));
    // The cursor is left on the last range examined.
    EXPECT_EQ(front.cursor_address_text(), "A:A6");
}

}  // namespace
}  // namespace fv
