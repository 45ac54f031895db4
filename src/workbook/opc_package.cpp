#include "workbook/opc_package.h"

#include "workbook/workbook_failure.h"
#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"

namespace fv {

namespace {

// A package lists a handful of relationships; a hostile one could list millions.
constexpr std::size_t most_relationships = 100'000;

class relationships_handler : public xml_handler {
public:
    relationships_handler(std::vector<relationship>& into, std::string part) : into_(into), part_(std::move(part)) {}

    void start_element(const xml_name& name, const xml_attributes& attributes) override {
        if (name.local != "Relationship") return;
        if (into_.size() >= most_relationships)
            throw workbook_failure(workbook_problem::damaged, "part " + part_ + " lists too many relationships");
        relationship r;
        r.id = attributes.get("Id").value_or("");
        r.type = attributes.get("Type").value_or("");
        r.target = attributes.get("Target").value_or("");
        r.external = attributes.get("TargetMode").value_or("") == "External";
        into_.push_back(std::move(r));
    }
    void end_element(const xml_name&) override {}
    void text(std::string_view) override {}

private:
    std::vector<relationship>& into_;
    std::string part_;
};

class content_types_handler : public xml_handler {
public:
    explicit content_types_handler(std::vector<std::string>& into) : into_(into) {}

    void start_element(const xml_name& name, const xml_attributes& attributes) override {
        if (name.local != "Override" && name.local != "Default") return;
        if (into_.size() >= most_relationships)
            throw workbook_failure(workbook_problem::damaged, "part [Content_Types].xml lists too many types");
        if (const auto type = attributes.get("ContentType")) into_.emplace_back(*type);
    }
    void end_element(const xml_name&) override {}
    void text(std::string_view) override {}

private:
    std::vector<std::string>& into_;
};

}  // namespace

std::string relationships_part(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    const std::string_view leaf = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(leaf) + ".rels";
}

std::vector<relationship> read_relationships(zip_archive& archive, std::string_view part) {
    std::vector<relationship> found;
    const std::string rels = relationships_part(part);
    if (!archive.contains(rels)) return found;
    relationships_handler handler(found, rels);
    parse_part(archive, rels, handler);
    return found;
}

bool relationship_is(const relationship& r, std::string_view kind) {
    const std::string_view type(r.type);
    return type.size() > kind.size() && type.substr(type.size() - kind.size()) == kind &&
           type[type.size() - kind.size() - 1] == '/';
}

std::string resolve_target(std::string_view source_part, std::string_view target) {
    std::vector<std::string_view> segments;
    if (!target.empty() && target.front() == '/') {
        target.remove_prefix(1);
    } else {
        std::string_view folder = source_part.substr(0, source_part.rfind('/') + 1);
        while (!folder.empty()) {
            const std::size_t slash = folder.find('/');
            segments.push_back(folder.substr(0, slash));
            folder.remove_prefix(slash + 1);
        }
    }
    while (!target.empty()) {
        const std::size_t slash = target.find('/');
        const std::string_view segment = target.substr(0, slash);
        target.remove_prefix(slash == std::string_view::npos ? target.size() : slash + 1);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
    }
    std::string part;
    for (const auto& segment : segments) {
        if (!part.empty()) part += '/';
        part += segment;
    }
    return part;
}

std::vector<std::string> read_content_types(zip_archive& archive) {
    std::vector<std::string> types;
    const std::string part = "[Content_Types].xml";
    if (!archive.contains(part)) return types;
    content_types_handler handler(types);
    parse_part(archive, part, handler);
    return types;
}

}  // namespace fv
