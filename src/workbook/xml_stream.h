// Streaming XML over expat for the parts of ZIP workbooks: the part goes
// through the parser chunk by chunk and the handler sees elements and text as
// they come, so no part is ever held whole. The parser refuses what a workbook
// never holds and what serves only to exhaust a reader: a document type
// declaration (and with it every entity declaration), elements nested deeper
// than `deepest`, a stretch of more than `longest_stretch` bytes without a
// '<' (a tag, or a text, of a size no workbook has), and anything else too
// large for the parser's fixed memory budget. Every failure is a
// workbook_failure (damaged).
#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

struct XML_ParserStruct;

namespace fv {

class zip_archive;

// A name split into its namespace URI ("" when none) and its local name.
struct xml_name {
    std::string_view ns;
    std::string_view local;
};

// Splits an expat name "uri<separator>local".
xml_name split_name(const char* name);

// The attributes of one element, as expat hands them over.
class xml_attributes {
public:
    explicit xml_attributes(const char** pairs) : pairs_(pairs) {}

    // The value of the attribute with this local name in any namespace.
    std::optional<std::string_view> get(std::string_view local) const;
    // The value of the attribute with this namespace and local name.
    std::optional<std::string_view> get(std::string_view ns, std::string_view local) const;
    // Calls visit(name, value) for every attribute: one pass for a handler that wants many.
    template <typename F>
    void each(F visit) const;

private:
    const char** pairs_;
};

class xml_handler {
public:
    virtual ~xml_handler() = default;
    virtual void start_element(const xml_name& name, const xml_attributes& attributes) = 0;
    virtual void end_element(const xml_name& name) = 0;
    // Character data, in as many pieces as the parser likes.
    virtual void text(std::string_view piece) = 0;
};

class xml_stream {
public:
    static constexpr std::size_t deepest = 256;  // element nesting
    // The parser reads an unfinished tag again from its start each time it is
    // fed, so the length of a tag must be bounded for the time to stay linear;
    // as no '<' can stand inside a tag, the bytes between two of them bound it.
    static constexpr std::size_t longest_stretch = 1u << 20;
    // All the parser may allocate: its buffer (the unfinished piece of markup
    // and the chunk fed after it), names, attributes, comments.
    static constexpr std::size_t parser_memory = 8u << 20;

    // `part` names the part in messages.
    xml_stream(xml_handler& handler, std::string part);
    ~xml_stream();
    xml_stream(const xml_stream&) = delete;
    xml_stream& operator=(const xml_stream&) = delete;

    void feed(const char* data, std::size_t size);
    // The end of the part: the document must be complete.
    void finish();

private:
    static void on_start(void* self, const char* name, const char** attributes);
    static void on_end(void* self, const char* name);
    static void on_text(void* self, const char* text, int length);
    static void on_doctype(void* self, const char*, const char*, const char*, int);
    static void on_entity(void* self, const char*, int, const char*, int, const char*, const char*, const char*,
                          const char*);

    void parse(const char* data, std::size_t size, bool last);
    void measure_stretches(const char* data, std::size_t size);
    // Stops the parser with a failure to report once it has returned.
    void stop(std::exception_ptr failure);
    [[noreturn]] void fail_with_parser_error();

    xml_handler& handler_;
    std::string part_;
    XML_ParserStruct* parser_ = nullptr;
    std::size_t depth_ = 0;
    std::exception_ptr failure_;
    std::size_t allocated_ = 0;  // what the parser holds now
    std::size_t stretch_ = 0;    // bytes since the last '<'

};

template <typename F>
void xml_attributes::each(F visit) const {
    for (const char** at = pairs_; at[0]; at += 2) visit(split_name(at[0]), std::string_view(at[1]));
}

// Streams the part of the archive through the handler.
void parse_part(zip_archive& archive, std::string_view part, xml_handler& handler);

}  // namespace fv
