// The package structure of XLSX files (Open Packaging Conventions): the
// relationships that lead from the package to the workbook part and from the
// workbook to its sheets and shared strings, the resolution of their targets
// to part names, and the content types a package declares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fv {

class zip_archive;

struct relationship {
    std::string id;
    std::string type;    // a URI; its last segment says what the target is
    std::string target;  // as written, relative to the source part's folder
    bool external = false;
};

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels";
// "" (the package itself) -> "_rels/.rels".
std::string relationships_part(std::string_view part);

// The relationships of a part; none when its relationships part is missing.
std::vector<relationship> read_relationships(zip_archive& archive, std::string_view part);

// Whether the type's last segment is `kind` ("officeDocument", "worksheet"):
// the transitional and the strict URIs differ only before it.
bool relationship_is(const relationship& r, std::string_view kind);

// The part name a target names from the source part: "worksheets/sheet1.xml"
// from "xl/workbook.xml" is "xl/worksheets/sheet1.xml"; "/xl/a.xml" is
// absolute; "." and ".." segments are resolved.
std::string resolve_target(std::string_view source_part, std::string_view target);

// Every content type [Content_Types].xml declares; none when it is missing.
std::vector<std::string> read_content_types(zip_archive& archive);

}  // namespace fv
