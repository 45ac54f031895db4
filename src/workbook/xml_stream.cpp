// The XML layer over expat, with namespace processing (names arrive as
// "uri\x01local") and a memory budget: every allocation of a parser is counted
// against its stream, and one past the budget fails, which expat reports as
// running out of memory. That bounds the longest start tag, attribute value,
// comment or name a part can make the parser hold.
#include "workbook/xml_stream.h"

#include <expat.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "workbook/workbook_failure.h"
#include "workbook/zip_archive.h"

namespace fv {

namespace {

constexpr char separator = '\x01';

// Each block carries its size and its stream ahead of the memory handed out.
struct alignas(std::max_align_t) block_header {
    std::size_t size;
    std::size_t* account;  // the allocated_ of the stream that owns the block
};

// The account of the stream whose parser is at work (expat's allocator has no
// context of its own); set around every call into the parser.
thread_local std::size_t* active_account = nullptr;

struct account_scope {
    std::size_t* previous;
    explicit account_scope(std::size_t* account) : previous(active_account) { active_account = account; }
    ~account_scope() { active_account = previous; }
    account_scope(const account_scope&) = delete;
    account_scope& operator=(const account_scope&) = delete;
};

void* allocate_into(std::size_t* account, std::size_t size) {
    if (!account || size > xml_stream::parser_memory || *account + size > xml_stream::parser_memory) return nullptr;
    auto* header = static_cast<block_header*>(std::malloc(sizeof(block_header) + size));
    if (!header) return nullptr;
    header->size = size;
    header->account = account;
    *account += size;
    return header + 1;
}

void* budget_malloc(std::size_t size) { return allocate_into(active_account, size); }

void budget_free(void* memory) {
    if (!memory) return;
    auto* header = static_cast<block_header*>(memory) - 1;
    *header->account -= header->size;
    std::free(header);
}

void* budget_realloc(void* memory, std::size_t size) {
    if (!memory) return budget_malloc(size);
    auto* header = static_cast<block_header*>(memory) - 1;
    std::size_t* account = header->account;
    const std::size_t old_size = header->size;
    if (size > old_size && (size - old_size > xml_stream::parser_memory ||
                            *account + (size - old_size) > xml_stream::parser_memory))
        return nullptr;
    auto* grown = static_cast<block_header*>(std::realloc(header, sizeof(block_header) + size));
    if (!grown) return nullptr;
    *account = *account - old_size + size;
    grown->size = size;
    return grown + 1;
}

const XML_Memory_Handling_Suite budget_suite{budget_malloc, budget_realloc, budget_free};

[[noreturn]] void damaged(const std::string& detail) { throw workbook_failure(workbook_problem::damaged, detail); }

}  // namespace

xml_name split_name(const char* name) {
    const char* mark = std::strchr(name, separator);
    if (!mark) return {std::string_view(), std::string_view(name)};
    return {std::string_view(name, static_cast<std::size_t>(mark - name)), std::string_view(mark + 1)};
}

std::optional<std::string_view> xml_attributes::get(std::string_view local) const {
    for (const char** at = pairs_; at[0]; at += 2)
        if (split_name(at[0]).local == local) return std::string_view(at[1]);
    return std::nullopt;
}

std::optional<std::string_view> xml_attributes::get(std::string_view ns, std::string_view local) const {
    for (const char** at = pairs_; at[0]; at += 2) {
        const xml_name name = split_name(at[0]);
        if (name.local == local && name.ns == ns) return std::string_view(at[1]);
    }
    return std::nullopt;
}

xml_stream::xml_stream(xml_handler& handler, std::string part) : handler_(handler), part_(std::move(part)) {
    account_scope scope(&allocated_);
    parser_ = XML_ParserCreate_MM(nullptr, &budget_suite, &separator);
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, on_start, on_end);
    XML_SetCharacterDataHandler(parser_, on_text);
    XML_SetStartDoctypeDeclHandler(parser_, on_doctype);
    XML_SetEntityDeclHandler(parser_, on_entity);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
}

xml_stream::~xml_stream() {
    account_scope scope(&allocated_);
    if (parser_) XML_ParserFree(parser_);
}

void xml_stream::stop(std::exception_ptr failure) {
    if (!failure_) failure_ = std::move(failure);
    XML_StopParser(parser_, XML_FALSE);
}

void xml_stream::on_start(void* self, const char* name, const char** attributes) {
    auto& stream = *static_cast<xml_stream*>(self);
    if (stream.failure_) return;
    try {
        if (++stream.depth_ > deepest)
            damaged("part " + stream.part_ + " nests its elements deeper than " + std::to_string(deepest));
        stream.handler_.start_element(split_name(name), xml_attributes(attributes));
    } catch (...) {
        stream.stop(std::current_exception());
    }
}

void xml_stream::on_end(void* self, const char* name) {
    auto& stream = *static_cast<xml_stream*>(self);
    if (stream.failure_) return;
    try {
        --stream.depth_;
        stream.handler_.end_element(split_name(name));
    } catch (...) {
        stream.stop(std::current_exception());
    }
}

void xml_stream::on_text(void* self, const char* text, int length) {
    auto& stream = *static_cast<xml_stream*>(self);
    if (stream.failure_ || length <= 0) return;
    try {
        stream.handler_.text(std::string_view(text, static_cast<std::size_t>(length)));
    } catch (...) {
        stream.stop(std::current_exception());
    }
}

void xml_stream::on_doctype(void* self, const char*, const char*, const char*, int) {
    auto& stream = *static_cast<xml_stream*>(self);
    if (stream.failure_) return;
    // Without a document type there are no entities to expand.
    stream.stop(std::make_exception_ptr(workbook_failure(
        workbook_problem::damaged, "part " + stream.part_ + " declares a document type, which no workbook holds")));
}

void xml_stream::on_entity(void* self, const char*, int, const char*, int, const char*, const char*, const char*,
                           const char*) {
    auto& stream = *static_cast<xml_stream*>(self);
    if (stream.failure_) return;
    stream.stop(std::make_exception_ptr(workbook_failure(
        workbook_problem::damaged, "part " + stream.part_ + " declares an entity, which no workbook holds")));
}

void xml_stream::fail_with_parser_error() {
    if (failure_) std::rethrow_exception(failure_);
    const XML_Error code = XML_GetErrorCode(parser_);
    if (code == XML_ERROR_NO_MEMORY)
        damaged("part " + part_ + " holds a piece of markup too large to read");
    damaged("part " + part_ + " is not well-formed XML (" + XML_ErrorString(code) + " at line " +
            std::to_string(XML_GetCurrentLineNumber(parser_)) + ")");
}

void xml_stream::parse(const char* data, std::size_t size, bool last) {
    // expat takes an int length: hand over large buffers in pieces.
    constexpr std::size_t piece = 1u << 30;
    account_scope scope(&allocated_);
    do {
        const std::size_t now = size < piece ? size : piece;
        const bool final_piece = last && now == size;
        if (XML_Parse(parser_, data, static_cast<int>(now), final_piece ? XML_TRUE : XML_FALSE) != XML_STATUS_OK)
            fail_with_parser_error();
        data += now;
        size -= now;
    } while (size > 0);
    if (failure_) std::rethrow_exception(failure_);
}

void xml_stream::measure_stretches(const char* data, std::size_t size) {
    const char* const end = data + size;
    while (data < end) {
        const auto* open = static_cast<const char*>(std::memchr(data, '<', static_cast<std::size_t>(end - data)));
        stretch_ += static_cast<std::size_t>((open ? open : end) - data);
        if (stretch_ > longest_stretch)
            damaged("part " + part_ + " holds more than " + std::to_string(longest_stretch >> 20) +
                    " MB of markup or text without a break");
        if (!open) break;
        stretch_ = 0;
        data = open + 1;
    }
}

void xml_stream::feed(const char* data, std::size_t size) {
    if (size == 0) return;
    measure_stretches(data, size);
    parse(data, size, false);
}

void xml_stream::finish() { parse("", 0, true); }

void parse_part(zip_archive& archive, std::string_view part, xml_handler& handler) {
    xml_stream stream(handler, std::string(part));
    archive.stream(part, [&](const char* data, std::size_t size) { stream.feed(data, size); });
    stream.finish();
}

}  // namespace fv
