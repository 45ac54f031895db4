// The container and XML layers under the ZIP workbook readers: inflated
// bytes counted as they come out (never as the archive declares them) against
// the limits of one part and of all parts, checksums, encrypted entries; and
// an XML parser that refuses document types and entities, deep nesting and
// markup too large for its memory, while text of any length streams through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workbook/workbook_failure.h"
#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"
#include "zip_package_writer.h"

namespace fv {
namespace {

using test::zip_entry;
using test::zip_package;

// What streaming the entry gives: its bytes, or "failure: <problem> <detail>".
std::string streamed(const std::vector<unsigned char>& image, const std::string& name, zip_limits limits = {},
                     int times = 1) {
    try {
        zip_archive archive(image, limits);
        std::string whole;
        for (int i = 0; i < times; ++i) {
            whole.clear();
            archive.stream(name, [&](const char* data, std::size_t size) { whole.append(data, size); });
        }
        return whole;
    } catch (const workbook_failure& failure) {
        return "failure: " + std::to_string(static_cast<int>(failure.problem())) + " " + failure.detail();
    }
}

const std::string damaged = "failure: " + std::to_string(static_cast<int>(workbook_problem::damaged)) + " ";

TEST(ZipArchive, InflatedBytesAreCountedAsTheyComeOut) {
    const std::string content(100'000, 'x');
    const auto image = zip_package({zip_entry("a.xml", content)});
    EXPECT_EQ(streamed(image, "a.xml"), content);
    EXPECT_EQ(streamed(image, "A.XML"), content);  // part names ignore case
    EXPECT_EQ(streamed(image, "a.xml", {99'999, 1'000'000}), damaged + "part a.xml inflates to more than 99999 bytes");
    // Each part within its limit, all of them together not.
    EXPECT_EQ(streamed(image, "a.xml", {100'000, 150'000}, 2), damaged + "its parts inflate to more than 150000 bytes");
    EXPECT_EQ(streamed(image, "b.xml"), damaged + "part b.xml is missing");

    // Sizes that lie: a part declared tiny still stops at the limit of what comes
    // out, one declared huge is never allocated for, and either lie is damage.
    zip_entry small("a.xml", content);
    small.declared_size = 10;
    EXPECT_EQ(streamed(zip_package({small}), "a.xml", {50'000, 1'000'000}),
              damaged + "part a.xml inflates to more than 50000 bytes");
    zip_entry huge("a.xml", content);
    huge.declared_size = 0xFFFFFFF0u;
    const std::string lies = damaged + "part a.xml is not of the size its ZIP container declares";
    EXPECT_EQ(streamed(zip_package({huge}), "a.xml"), lies);
    EXPECT_EQ(streamed(zip_package({small}), "a.xml"), lies);
}

TEST(ZipArchive, DamagedAndEncryptedEntriesFailCleanly) {
    zip_entry wrong_sum("a.xml", std::string(1000, 'y'));
    wrong_sum.declared_crc = 12345;
    EXPECT_EQ(streamed(zip_package({wrong_sum}), "a.xml"), damaged + "part a.xml does not match its checksum");

    zip_entry locked("a.xml", "secret");
    locked.encrypted_flag = true;
    EXPECT_EQ(streamed(zip_package({locked}), "a.xml"),
              "failure: " + std::to_string(static_cast<int>(workbook_problem::encrypted)) + " part a.xml is encrypted");

    auto image = zip_package({zip_entry("a.xml", std::string(5000, 'z'))});
    image.resize(image.size() / 2);
    EXPECT_EQ(streamed(image, "a.xml"), damaged + "its ZIP container is truncated or is no ZIP archive");
    EXPECT_EQ(streamed({}, "a.xml"), damaged + "its ZIP container is truncated or is no ZIP archive");

    const auto small = zip_package({zip_entry("m", std::string(300, 'm'), false)});
    zip_archive archive(small);
    EXPECT_FALSE(archive.read_small("m", 299).has_value());
    EXPECT_EQ(archive.read_small("m", 300), std::string(300, 'm'));
    EXPECT_FALSE(archive.read_small("none", 300).has_value());
}

// Records what the parser hands over.
class recorder : public xml_handler {
public:
    std::string events;
    std::size_t text_bytes = 0;
    bool fail_on_b = false;

    void start_element(const xml_name& name, const xml_attributes& attributes) override {
        if (fail_on_b && name.local == "b") throw workbook_failure(workbook_problem::too_large, "stopped at b");
        events += "<" + std::string(name.local);
        if (!name.ns.empty()) events += "{" + std::string(name.ns) + "}";
        if (const auto v = attributes.get("urn:x", "v")) events += " v=" + std::string(*v);
        events += ">";
    }
    void end_element(const xml_name& name) override { events += "</" + std::string(name.local) + ">"; }
    void text(std::string_view piece) override {
        text_bytes += piece.size();
        if (text_bytes < 100) events += std::string(piece);
    }
};

// The events of a document fed in pieces of `piece` bytes, or the failure's detail.
std::string parsed(const std::string& xml, recorder& into, std::size_t piece = 7) {
    try {
        xml_stream stream(into, "part.xml");
        for (std::size_t at = 0; at < xml.size(); at += piece)
            stream.feed(xml.data() + at, std::min(piece, xml.size() - at));
        stream.finish();
        return into.events;
    } catch (const workbook_failure& failure) {
        return "failure: " + failure.detail();
    }
}

std::string parsed(const std::string& xml, std::size_t piece = 7) {
    recorder into;
    return parsed(xml, into, piece);
}

TEST(XmlStream, NamesAttributesAndTextArriveAsWritten) {
    EXPECT_EQ(parsed("<?xml version=\"1.0\"?><a xmlns=\"urn:m\" xmlns:x=\"urn:x\"><b x:v=\"1 &amp; 2\">t&lt;&#233;</b>"
                     "<!-- note --><c/></a>"),
              "<a{urn:m}><b{urn:m} v=1 & 2>t<\xC3\xA9</b><c{urn:m}></c></a>");
    // A document in UTF-16 arrives as UTF-8.
    const std::string utf16("\xFF\xFE<\0a\0>\0\xE9\0<\0/\0a\0>\0", 18);
    EXPECT_EQ(parsed(utf16), "<a>\xC3\xA9</a>");
}

TEST(XmlStream, WhatOnlyServesToExhaustAReaderIsRefused) {
    const std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
                               "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]><a>&lol2;</a>";
    EXPECT_EQ(parsed(laughs), "failure: part part.xml declares a document type, which no workbook holds");
    EXPECT_EQ(parsed("<!DOCTYPE a SYSTEM \"file:///etc/passwd\"><a/>"),
              "failure: part part.xml declares a document type, which no workbook holds");
    EXPECT_EQ(parsed("<a>&undefined;</a>"), "failure: part part.xml is not well-formed XML (undefined entity at line 1)");
    EXPECT_EQ(parsed("<a><b></a>"), "failure: part part.xml is not well-formed XML (mismatched tag at line 1)");
    EXPECT_EQ(parsed("<a>"), "failure: part part.xml is not well-formed XML (no element found at line 1)");

    std::string deep;
    for (std::size_t i = 0; i < xml_stream::deepest; ++i) deep += "<e>";
    for (std::size_t i = 0; i < xml_stream::deepest; ++i) deep += "</e>";
    EXPECT_EQ(parsed(deep, 4096).substr(0, 6), "<e><e>");
    EXPECT_EQ(parsed("<x>" + deep + "</x>", 4096), "failure: part part.xml nests its elements deeper than 256");

    // A tag or a text longer than any workbook's fails; text broken by markup
    // streams through whatever its length, and so do long tags up to the bound.
    const std::string huge_attribute = "<a v=\"" + std::string(xml_stream::longest_stretch, 'v') + "\"/>";
    EXPECT_EQ(parsed(huge_attribute, 1 << 20), "failure: part part.xml holds more than 1 MB of markup or text without a break");
    EXPECT_EQ(parsed("<a>" + std::string(xml_stream::longest_stretch + 1, ' ') + "</a>", 1 << 20),
              "failure: part part.xml holds more than 1 MB of markup or text without a break");
    std::string tags = "<a>";
    for (int i = 0; i < 8; ++i) tags += "<b v=\"" + std::string(xml_stream::longest_stretch - 9, 'v') + "\"/>";
    EXPECT_EQ(parsed(tags + "</a>", 1 << 20), "<a><b></b><b></b><b></b><b></b><b></b><b></b><b></b><b></b></a>");
    recorder long_text;
    std::string text = "<a>";
    for (int i = 0; i < 100; ++i) text += std::string(xml_stream::longest_stretch - 8, 't') + "<b/>";
    EXPECT_EQ(parsed(text + "</a>", long_text, 1 << 20).substr(0, 3), "<a>");
    EXPECT_EQ(long_text.text_bytes, 100 * (xml_stream::longest_stretch - 8));
    // What the bound on stretches does not cover, the parser's memory does: a comment holding '<'.
    std::string comment = "<a><!--";
    for (std::size_t i = 0; i < xml_stream::parser_memory / 1000; ++i) comment += "<" + std::string(999, 'c');
    EXPECT_EQ(parsed(comment + "--></a>", 1 << 20), "failure: part part.xml holds a piece of markup too large to read");

    // A handler's own failure stops the parser and reaches the caller.
    recorder stopping;
    stopping.fail_on_b = true;
    EXPECT_EQ(parsed("<a><b/><b/></a>", stopping), "failure: stopped at b");
}

}  // namespace
}  // namespace fv
