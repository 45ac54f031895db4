// Reading one stream out of a compound document (the container of XLS
// workbooks). The container is only ever read: a stream comes back whole or
// not at all, so a damaged container can never hand the reader a partial stream.
#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace fv {

// The first stream of the root storage whose name matches one of `names`
// (tried in order, ignoring case), read whole from the image of a compound
// document. Nothing when the image is not a compound document, no stream
// matches, or the stream cannot be read whole (a size larger than the image,
// a broken or looping chain). Both throw text_error when libgsf cannot be
// loaded.
std::optional<std::vector<unsigned char>> compound_stream(const std::vector<unsigned char>& image,
                                                          std::initializer_list<std::string_view> names);

// Whether the root storage of the compound document in the image holds a
// stream of that name (ignoring case); false when it is no compound document.
bool compound_holds_stream(const std::vector<unsigned char>& image, std::string_view name);

}  // namespace fv
