// What both spreadsheet writers share: the moving position and its highest
// values, the required template, and output files that are replaced only by
// a complete image (a write that fails is reported with the writer's text and
// leaves the old file as it was).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "writer_test_support.h"
#include "display/wk1_writer.h"
#include "display/wk3_writer.h"
#include "util/text_error.h"

namespace fv {
namespace {

using test::file_bytes;
using test::scratch_folder;
using test::shipped_template;

std::string failure_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const text_error& e) {
        return e.text();
    }
    return "(no failure)";
}

TEST(SheetWriter, TemplatePathIsRequired) {
    EXPECT_EQ(failure_of([] { wk1_writer w(static_cast<const char*>(nullptr)); }),
              "clip_ss constructor called with a NULL pointer");
    EXPECT_EQ(failure_of([] { wk3_writer w(""); }), "clip_ss constructor called with a pointer to a NULL string");
    EXPECT_EQ(failure_of([] { wk3_writer w{std::string()}; }),
              "clip_ss constructor called with a pointer to a NULL string");
    wk3_writer w("4.bin");
    EXPECT_EQ(w.template_path(), "4.bin");
}

TEST(SheetWriter, PositionsAndTheirHighestValues) {
    wk3_writer w(shipped_template("4.bin"));
    for (int i = 0; i < 3; ++i) w.next_column();
    EXPECT_EQ(w.current_column(), 3u);
    w.next_row();
    w.next_column();
    EXPECT_EQ(w.current_column(), 1u);
    EXPECT_EQ(w.current_row(), 1u);
    EXPECT_EQ(w.highest_column(), 3u);
    EXPECT_EQ(w.highest_row(), 1u);
    w.next_sheet();
    EXPECT_EQ(w.current_sheet(), 1u);
    EXPECT_EQ(w.current_row(), 0u);
    EXPECT_EQ(w.current_column(), 0u);
    EXPECT_EQ(w.highest_row(), 1u);
    EXPECT_EQ(w.highest_sheet(), 1u);

    // The column stays at 255 once there, and so does the sheet.
    for (int i = 0; i < 300; ++i) w.next_column();
    EXPECT_EQ(w.current_column(), 255u);
    EXPECT_EQ(w.highest_column(), 255u);
    for (int i = 0; i < 300; ++i) w.next_sheet();
    EXPECT_EQ(w.current_sheet(), 255u);
    EXPECT_EQ(w.highest_sheet(), 255u);
}

TEST(SheetWriter, CellsPastColumn255AllLandInColumn255) {
    wk3_writer w(shipped_template("3.bin"));
    for (int i = 0; i < 258; ++i) w.add_label("x", '\'');
    ASSERT_EQ(w.records().size(), 258u);
    for (std::size_t i = 255; i < 258; ++i) EXPECT_EQ(w.records()[i].data[3], 255) << i;
}

TEST(SheetWriter, RenderWithoutPathWritesNothingAndKeepsTheRecords) {
    scratch_folder folder;
    wk1_writer w(shipped_template("1.bin"));
    w.add_label("Name", '\'');
    const auto first = w.render();
    EXPECT_EQ(w.image_size(), first.size());
    EXPECT_TRUE(folder.names().empty());
    EXPECT_EQ(w.render(""), first);  // an empty path is no path; rendering again gives the same image
    EXPECT_EQ(w.records().size(), 1u);
}

TEST(SheetWriter, MissingOrDamagedTemplatesFailWithTheWritersText) {
    scratch_folder folder;
    const std::string missing = folder.file("none.bin");
    EXPECT_EQ(failure_of([&] { wk1_writer(missing).render(); }),
              "clip_wk1::render unable to open \"1.bin\" in the exe root directory");
    EXPECT_EQ(failure_of([&] { wk3_writer(missing).render(); }), "clip_wk3::render unable to open \"" + missing + "\"");
    // A folder or a pipe is no template (and a pipe must not hang the export).
    EXPECT_EQ(failure_of([&] { wk3_writer(folder.path()).render(); }),
              "clip_wk3::render unable to open \"" + folder.path() + "\"");
    const std::string pipe = folder.file("pipe.bin");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(failure_of([&] { wk3_writer(pipe).render(); }), "clip_wk3::render unable to open \"" + pipe + "\"");

    // Too short to patch, or not beginning as its format's worksheet does.
    const std::string short_file = folder.file("short.bin");
    test::write_bytes(short_file, {1, 0, 0, 0});
    EXPECT_EQ(failure_of([&] { wk1_writer(short_file).render(); }),
              "clip_wk1::render template \"" + short_file + "\" is not a WK1 worksheet");
    EXPECT_EQ(failure_of([&] { wk3_writer(short_file).render(); }),
              "clip_wk3::render template \"" + short_file + "\" is not a WK3 worksheet");
    EXPECT_EQ(failure_of([&] { wk1_writer(shipped_template("3.bin")).render(); }),
              "clip_wk1::render template \"" + shipped_template("3.bin") + "\" is not a WK1 worksheet");
    EXPECT_EQ(failure_of([&] { wk3_writer(shipped_template("1.bin")).render(); }),
              "clip_wk3::render template \"" + shipped_template("1.bin") + "\" is not a WK3 worksheet");
}

TEST(SheetWriter, OutputIsWrittenAndReplacedWhole) {
    scratch_folder folder;
    const std::string out = folder.file("out.wk3");
    test::write_bytes(out, std::vector<unsigned char>(5000, 'x'));
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    wk3_writer w(shipped_template("4.bin"));
    w.add_label("Name", '\'');
    const auto image = w.render(out);
    EXPECT_EQ(file_bytes(out), image);  // the longer old file is gone entirely
    struct stat st;
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"out.wk3"});

    // A symbolic link stays a link; the file it names gets the image.
    const std::string link = folder.file("link.wk1");
    const std::string target = folder.file("target.wk1");
    test::write_bytes(target, {1, 2, 3});
    std::filesystem::create_symlink(target, link);
    wk1_writer w1(shipped_template("1.bin"));
    const auto image1 = w1.render(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(file_bytes(target), image1);
}

TEST(SheetWriter, FailedWritesAreReportedWithTheWritersText) {
    scratch_folder folder;
    const std::string nowhere = folder.file("no such folder/out.wk3");
    struct target_case {
        const char* what;
        std::string path;
    };
    const target_case targets[] = {
        {"a folder that does not exist", nowhere},
        {"a folder in the file's place", folder.path()},
        {"a full device", "/dev/full"},
    };
    for (const auto& t : targets) {
        SCOPED_TRACE(t.what);
        wk3_writer w3(shipped_template("4.bin"));
        w3.add_number("1.5", 1, 0);
        EXPECT_EQ(failure_of([&] { w3.render(t.path); }),
                  "clip_wk3::render unable to open spreadsheet output file " + t.path);
        wk1_writer w1(shipped_template("1.bin"));
        w1.add_number("1.5", 1, 0);
        EXPECT_EQ(failure_of([&] { w1.render(t.path); }),
                  "clip_wk1::render unable to open spreadsheet output file " + t.path);
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// A write that fails halfway (here: the file size limit) leaves the old file
// as it was and no temporary file behind.
TEST(SheetWriter, AWriteThatFailsHalfwayLeavesTheOldFile) {
    scratch_folder folder;
    const std::string out = folder.file("out.wk3");
    const std::vector<unsigned char> old(100, 'o');
    test::write_bytes(out, old);
    wk3_writer w(shipped_template("4.bin"));
    for (int i = 0; i < 2000; ++i) w.add_label("a label long enough to pass the limit", '\'');

    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previous = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string failure = failure_of([&] { w.render(out); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);

    EXPECT_EQ(failure, "clip_wk3::render unable to open spreadsheet output file " + out);
    EXPECT_EQ(file_bytes(out), old);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"out.wk3"});
}

}  // namespace
}  // namespace fv
